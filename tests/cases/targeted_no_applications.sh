# The targeted header cannot be opened: no file is created.
new_project
rmdir applications
args=(x s)

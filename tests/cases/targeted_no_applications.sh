# The targeted header cannot be opened: no file, and the submodule listing is not asked for.
new_project
rmdir applications
args=(x s)

# No pipe can be opened: the listing is still an empty literal, so the header compiles.
posix_only="resource limits"
new_project
limit_files=1
args=(x s)

# Only "git submodule status --recursive" cannot get a pipe; every other command works.
posix_only="a preloaded library"
new_project_with_lib
echo change >>main.c
fail_spawn="submodule status --recursive"
args=(x s)

# Only the history listing cannot get a pipe; every other command works.
posix_only="a preloaded library"
new_project_with_lib
echo change >>main.c
fail_spawn=$(grep rev-list "$golden/targeted_modified/git.log")
args=(x s)

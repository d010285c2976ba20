# Only the history listing cannot get a pipe; every other command works.
new_project_with_lib
echo change >>main.c
fail_spawn="git rev-list HEAD --"
args=(x s)

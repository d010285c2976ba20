# Only "git submodule status --recursive" cannot get a pipe; every other command works.
new_repo lib
(cd lib && commit lib.c)
new_project
add_submodule ../lib lib
tick
git commit -q -m "add lib"
echo change >>main.c
fail_popen="git submodule status --recursive"
args=(x s)

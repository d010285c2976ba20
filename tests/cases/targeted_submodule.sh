new_repo lib
(cd lib && commit lib.c)
new_project
add_submodule ../lib lib
tick
git commit -q -m "add lib"
args=(x s)

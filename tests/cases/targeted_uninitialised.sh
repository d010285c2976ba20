# A submodule that is not checked out is listed with a leading '-'.
new_repo lib
(cd lib && commit lib.c)
new_project
add_submodule ../lib lib
tick
git commit -q -m "add lib"
git submodule deinit -q -f lib
args=(x s)

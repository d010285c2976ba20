# A submodule that is not checked out is listed with a leading '-'.
new_project_with_lib
git submodule deinit -q -f lib
args=(x s)

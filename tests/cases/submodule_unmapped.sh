# git submodule status fails on a submodule that .gitmodules no longer names: an empty listing
# must not pass for a tree without submodules.
new_project_with_lib
git rm -q .gitmodules
tick && git commit -q -m "forget lib's mapping"
args=(x s)

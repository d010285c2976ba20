# Nested submodules are listed after their parent, one line each.
new_repo inner
(cd inner && commit inner.c)
new_repo lib
(cd lib && commit lib.c && add_submodule ../inner inner && tick && git commit -q -m "add inner")
new_project
add_submodule ../lib lib
git -c protocol.file.allow=always submodule update -q --init --recursive
tick
git commit -q -m "add lib"
args=(x s)

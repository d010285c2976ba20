# A quote and a backslash in a submodule path must not break the string literal.
new_repo lib
(cd lib && commit lib.c)
new_project
add_submodule ../lib 'we"ird\path'
add_submodule ../lib 'plain'
tick
git commit -q -m "add libs"
echo change >>main.c
args=(x s)

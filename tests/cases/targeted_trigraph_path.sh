# "??/" and "??=" in submodule paths must not turn into trigraphs under strict C modes.
new_repo lib
(cd lib && commit lib.c)
new_project
add_submodule ../lib 'odd??/path'
add_submodule ../lib 'hash??=???'
tick
git commit -q -m "add libs"
args=(x s)

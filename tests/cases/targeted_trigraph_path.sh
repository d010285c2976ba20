# "??/" and "??=" in submodule paths must not turn into trigraphs under strict C modes.
new_project_with_lib 'odd??/path' 'hash??=???'
args=(x s)

# A Latin-1 byte and an ESC in submodule paths go into the literal as octal escapes.
new_project_with_lib "$(printf 'caf\351')" "$(printf 'e\033sc')"
args=(x s)

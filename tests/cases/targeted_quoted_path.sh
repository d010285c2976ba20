# A quote and a backslash in a submodule path must not break the string literal.
new_project_with_lib 'we"ird\path' plain
echo change >>main.c
args=(x s)

# REVSTAMP_EXTRA_MACROS=1 on a HEAD whose tag holds a double quote: escaped in the describe
# string, so the header still compiles.
new_project
git tag -a 'v"2' -m v2
export REVSTAMP_EXTRA_MACROS=1

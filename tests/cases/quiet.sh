# REVSTAMP_QUIET=1 on a changed tree: nothing on stdout, the header as without it.
new_project
echo change >>main.c
export REVSTAMP_QUIET=1

# REVSTAMP_QUIET=1, targeted, with a submodule and untracked files: nothing on stdout.
new_project_with_lib
touch untracked.c
args=(x s)
export REVSTAMP_QUIET=1

# REVSTAMP_EXTRA_MACROS=1, targeted, on a clean tree whose HEAD is tagged, with a submodule.
new_project_with_lib
git tag -a v2.0 -m v2.0
args=(x s)
export REVSTAMP_EXTRA_MACROS=1

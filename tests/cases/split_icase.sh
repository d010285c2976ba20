# GIT_ICASE_PATHSPECS=1 in the build's environment, and submodules whose names differ in case
# alone: a pathspec run for lib/drv would list lib/Drv, so the one command lists.
posix_only="names that differ in case alone"
new_project_with_lib lib/Drv lib/Hal lib/drv lib/hal
tool_env+=(GIT_ICASE_PATHSPECS=1)
args=(x s)
after() { same_as_one_command; }

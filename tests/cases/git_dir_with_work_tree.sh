# GIT_DIR with GIT_WORK_TREE beside it, as a build with a separate Git directory sets them: no
# warning, and the tree reads as it is.
posix_only="the tool's own environment (GIT_DIR)"
new_project
tool_env+=(GIT_DIR=../.git GIT_WORK_TREE=..)

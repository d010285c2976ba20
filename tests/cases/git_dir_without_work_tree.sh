# GIT_DIR exported without GIT_WORK_TREE: Git takes the directory the tool runs in as the top of
# the work tree, so every file outside it reads as deleted. The run says why.
posix_only="the tool's own environment (GIT_DIR)"
new_project
tool_env+=(GIT_DIR=../.git)

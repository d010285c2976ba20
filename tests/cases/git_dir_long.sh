# A GIT_DIR longer than the report's first buffer: the error line still comes whole.
posix_only="the tool's own environment (GIT_DIR)"
mkdir -p project/applications project/fw
run_dir=project/fw
tool_env+=(GIT_DIR=/$(printf 'd%.0s' $(seq 1100)))

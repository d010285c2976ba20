# A deploy hook's GIT_DIR=. leaks into the build, which runs where Git finds no repository.
posix_only="the tool's own environment (GIT_DIR)"
mkdir -p project/applications project/fw
run_dir=project/fw
tool_env+=(GIT_DIR=.)

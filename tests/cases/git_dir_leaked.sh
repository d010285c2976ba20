# A deploy hook's GIT_DIR=. leaks into the build, which runs where Git finds no repository.
mkdir -p project/applications project/fw
run_dir=project/fw
tool_env+=(GIT_DIR=.)

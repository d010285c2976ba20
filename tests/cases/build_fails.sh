# The working directory is removed under the tool, so build cannot be made: no Git runs and
# the header stays as it was.
posix_only="the working directory removed under the tool"
new_project
echo '/* untouched */' >applications/revision.h
remove_run_dir=1

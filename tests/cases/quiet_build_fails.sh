# REVSTAMP_QUIET=1 keeps stdout empty even when build cannot be made: the line goes to stderr.
posix_only="the working directory removed under the tool"
new_project
remove_run_dir=1
tool_env+=(REVSTAMP_QUIET=1)

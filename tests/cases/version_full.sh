# --version whose line cannot be written (a full disk): the run must not pass for a success.
posix_only="the tool's standard streams redirected"
new_project
args=(--version)
tool_streams='>/dev/full'

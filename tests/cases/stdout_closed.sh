# Started with stdout closed, the console lines go nowhere and the run still succeeds.
posix_only="the tool's standard streams redirected"
new_project
tool_streams='>&-'

# Started with stdout closed, the console lines go nowhere and the run still succeeds.
new_project
tool_streams='>&-'

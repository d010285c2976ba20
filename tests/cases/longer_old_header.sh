# A longer header from an earlier run is replaced whole.
new_project
printf '/* old */\n%.0s' {1..300} >applications/revision.h

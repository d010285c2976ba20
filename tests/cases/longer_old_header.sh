# A longer header from an earlier run is replaced whole.
new_project
printf '/* old */\n%.0s' {1..300} >applications/revision.h
# The new header keeps the old one's permission bits.
chmod 640 applications/revision.h
after() { stat -c %a repo/applications/revision.h; }

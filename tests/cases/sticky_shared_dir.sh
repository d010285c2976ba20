# A sticky shared directory refuses a rename over a header another member owns: the member
# writes it in place instead, and it stays the owner's.
posix_only="other users (setpriv)"
new_project
echo change >>main.c
run_as 1002
chown 1001 applications && chmod 1777 applications
echo '/* previous */' >applications/revision.h
chown 1001:1001 applications/revision.h && chmod 666 applications/revision.h
after() { stat -c '%u %a' repo/applications/revision.h; }

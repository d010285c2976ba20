# A team's shared tree: applications/ group-writable for group 2000, the header 1001:2000 0664.
# User 1002, in group 2000, stamps: the header keeps its group, so 1001 can stamp next.
posix_only="other users (setpriv)"
new_project
echo change >>main.c
run_as 1002 2000
chown 1001:2000 applications && chmod 775 applications
echo '/* previous */' >applications/revision.h
chown 1001:2000 applications/revision.h && chmod 664 applications/revision.h
after() { stat -c '%g %a' repo/applications/revision.h; }

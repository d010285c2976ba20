# A developer's header (1001:1001 0640), restamped by root as in a container build over a
# bind-mounted tree: the replacement keeps its owner, group and mode, so 1001 stamps next.
posix_only="file owners"
new_project
[ "$(id -u)" = 0 ] || echo "giving a file to another user needs root" >"$out/skip"
echo '/* previous */' >applications/revision.h
chown 1001:1001 applications/revision.h 2>/dev/null; chmod 640 applications/revision.h
after() { stat -c '%u:%g %a' repo/applications/revision.h; }

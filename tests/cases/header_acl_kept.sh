# A header with an ACL entry of its own (user 1001 may write it), restamped: the entry and the
# mask are still there, since such a header is written in place.
posix_only="POSIX ACLs"
new_project
echo '/* previous */' >applications/revision.h
setfacl -m u:1001:rw applications/revision.h 2>/dev/null ||
  echo "no ACLs on this file system" >"$out/skip"
after() { getfacl -c repo/applications/revision.h 2>/dev/null | grep -E '^(user:1001|mask)'; }

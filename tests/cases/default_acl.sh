# A shared build tree whose directory has a default ACL: a new header gets the group write that
# the ACL grants any new file, so a teammate's next stamp can replace it.
posix_only="POSIX ACLs"
new_project
setfacl -d -m u::rw,g::rw,o::r,g:root:rw applications 2>/dev/null ||
  echo "no ACLs on this file system" >"$out/skip"
after() { getfacl -c repo/applications/revision.h 2>/dev/null | grep '^mask'; }

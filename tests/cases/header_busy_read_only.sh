# The header is a mount point, written in place, and mounted read-only: the run fails, and no
# warning claims that it was written in place.
posix_only="a bind mount"
new_project
echo '/* previous */' >applications/revision.h
echo '/* other */' >"$tmp/mounted"
{ mount --bind "$tmp/mounted" applications/revision.h &&
  mount -o remount,bind,ro applications/revision.h; } 2>/dev/null ||
  echo "cannot bind-mount read-only here" >"$out/skip"
after() {
  umount repo/applications/revision.h 2>/dev/null
  cat mounted
}

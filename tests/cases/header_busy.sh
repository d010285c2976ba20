# The file system says the header is busy when it would be replaced (a mount point here; an SMB
# mount while another client has it open): after about a second of retries it is written in
# place, with a warning.
posix_only="a bind mount"
new_project
echo '/* previous */' >applications/revision.h
echo '/* other */' >"$tmp/mounted"
mount --bind "$tmp/mounted" applications/revision.h 2>/dev/null ||
  echo "cannot bind-mount here" >"$out/skip"
after() {
  cat mounted
  umount repo/applications/revision.h 2>/dev/null
}

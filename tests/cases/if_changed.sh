# REVSTAMP_IF_CHANGED=1 (with the extra macros): a second stamp of an unchanged tree leaves the
# header alone, same inode and time; a change is stamped; a header holding only the first lines
# is stamped whole; a FIFO at the header's path is not read.
posix_only="the after function stamps again with the Linux tool"
new_project
export REVSTAMP_IF_CHANGED=1 REVSTAMP_EXTRA_MACROS=1
after() {
  local header=repo/applications/revision.h before
  before=$(stat -c '%i %y' "$header")
  sleep 0.05
  (cd repo/fw && "$tool" x >/dev/null) && [ "$(stat -c '%i %y' "$header")" = "$before" ] &&
    echo "unchanged: left alone"
  echo change >>repo/main.c
  (cd repo/fw && "$tool" x >/dev/null) && grep -E 'MULTI|DIRTY' "$header"
  head -n -1 "$header" >prefix && cat prefix >"$header"
  (cd repo/fw && "$tool" x >/dev/null) && tail -n 1 "$header"
  rm "$header" && mkfifo "$header"
  (cd repo/fw && timeout 10 "$tool" x >/dev/null; echo "over a FIFO: exit $?")
  rm "$header" && (cd repo/fw && "$tool" x >/dev/null)
}

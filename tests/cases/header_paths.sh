# REVSTAMP_HEADER names the header: absolute, relative up and down, in a folder with blanks,
# through a linked folder, in a folder yet to be made, and empty (the default). Each, plain and
# targeted, must hold exactly the default header's bytes and leave the default header alone;
# IF_CHANGED and KEEP_STAMP work at such a path, and a replaced header keeps its mode.
posix_only="the after function stamps again with the Linux tool"
new_project_with_lib
mkdir -p "$tmp/out/with blanks" "$tmp/elsewhere" "$tmp/repo/x" && ln -s "$tmp/elsewhere" "$tmp/linked"
after() {
  local default=repo/applications/revision.h
  for form in x "x s"; do
    # shellcheck disable=SC2086
    (cd repo/fw && "$tool" $form >/dev/null) && cp "$default" expected.h
    for path in "$tmp/out/abs.h" ../x/y.h "$tmp/out/with blanks/r.h" "$tmp/linked/r.h" \
      "$tmp/out/none/r.h" ""; do
      local written=${path:-../applications/revision.h} status=0
      touch -d @1700000000 "$default"
      # shellcheck disable=SC2086
      (cd repo/fw && REVSTAMP_HEADER=$path "$tool" $form >/dev/null 2>../../stderr) || status=$?
      [[ $written == /* ]] || written=repo/fw/$written
      printf '%s, "%s": exit %s, %s, default header %s %s\n' "$form" "${path//$tmp/TMP}" \
        "$status" "$(cmp -s "$written" expected.h && echo "the same bytes" || echo "no header")" \
        "$([ "$(stat -c %Y "$default")" = 1700000000 ] && echo "left alone" || echo "written")" \
        "$(sed "s|$tmp|TMP|" stderr)"
    done
  done
  # A header at such a path is replaced keeping its mode; unchanged, IF_CHANGED leaves it alone.
  chmod 640 "$tmp/linked/r.h" && before=$(stat -c '%i %Y' "$tmp/linked/r.h")
  (cd repo/fw && REVSTAMP_HEADER=$tmp/linked/r.h REVSTAMP_IF_CHANGED=1 "$tool" x s >/dev/null)
  [ "$(stat -c '%i %Y' "$tmp/linked/r.h")" = "$before" ] && echo "IF_CHANGED: left alone"
  echo change >>repo/main.c && (cd repo/fw && REVSTAMP_HEADER=$tmp/linked/r.h "$tool" x s >/dev/null)
  echo "changed: mode $(stat -c %a "$tmp/elsewhere/r.h"), $(grep -c '"M"' "$tmp/elsewhere/r.h") M"
  # A source drop, away from any repository, keeps the stamp the named header holds.
  mkdir -p drop/fw && cp "$tmp/elsewhere/r.h" drop/r.h
  (cd drop/fw && GIT_CEILING_DIRECTORIES=$tmp REVSTAMP_HEADER=../r.h REVSTAMP_KEEP_STAMP=1 "$tool" x \
    >/dev/null 2>../../stderr) && echo "KEEP_STAMP: exit 0, $(cat stderr)"
  cmp -s drop/r.h "$tmp/elsewhere/r.h" && echo "KEEP_STAMP: kept"
}

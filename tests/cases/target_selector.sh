# Only a second argument that starts with a lower-case 's' selects the targeted form: after
# stamps with each row's words (none for the last row) and names the form of the header each
# writes.
new_project
args=(x s)
after() {
  local header=repo/applications/revision.h row
  cp "$header" run.h
  for row in "x s" "x sfoo" "x S" "s x" "x ''" "s" "''" "x s y" "--help s" "x --version" ""; do
    eval "args=($row)" && stamp row
    if cmp -s "$header" "$golden/targeted_clean/revision.h"; then
      echo "$row: targeted"
    elif cmp -s "$header" "$golden/clean/revision.h"; then
      echo "$row: plain"
    else
      echo "$row: neither form (status $(cat row/status))"
    fi
  done
  cp run.h "$header"
}

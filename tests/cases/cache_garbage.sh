# What was kept, damaged, is a miss: the stamp walks, stamps as a walk does, and writes the file
# anew. A count changed by hand fails the checksum; so does a record cut short or a checksum that
# is not hex. A file of another format, or too large to be the format's, is not read for its
# records, nor is something other than a file at its path (a FIFO, a folder). CR LF line ends, as
# Windows writes them, are no damage.
new_project
commit main.c
stamp first
record=.git/info/revstamp-cache
cp "$record" "$tmp/good"
sed -i 's/\t[0-9]*\t/\t9\t/' "$record"
damage() {
  rm -rf "repo/$record" && cp good "repo/$record"
  case $1 in
  cut) truncate -s -5 "repo/$record" ;;
  not-hex) sed -i '2s/^./g/' "repo/$record" ;;
  format) sed -i '1s/[0-9]*$/99/' "repo/$record" ;;
  large) head -c 20000 /dev/zero | tr '\0' '#' >>"repo/$record" ;;
  crlf) sed -i 's/$/\r/' "repo/$record" ;;
  fifo) rm "repo/$record" && mkfifo "repo/$record" ;;
  folder) rm "repo/$record" && mkdir "repo/$record" ;;
  esac
}
after() {
  same_as_a_walk && walks
  for how in cut not-hex format large crlf fifo folder; do
    damage "$how" && cp repo/applications/revision.h run.h
    printf '%s: %s, ' "$how" "$(TOOL_WRAPPER="timeout 10" walks)"
    cmp -s repo/applications/revision.h run.h && echo "as a walk stamps" || echo "not as a walk stamps"
  done
}

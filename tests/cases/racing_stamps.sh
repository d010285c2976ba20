# While a targeted stamp waits on a slow submodule listing, a reader in a loop and a plain stamp
# started beside it only ever find a whole header: the previous one or a new one.
posix_only="a Git stand-in script"
new_project_with_lib
echo '/* previous */' >applications/revision.h
cd "$tmp"
cp repo/applications/revision.h previous
args=(x s)
mkdir slow
# Git that lists many submodules, more than a stdio buffer holds, then takes a second for the
# rest, as a large tree does.
cat >slow/git <<GIT
#!/bin/sh
[ "\$1" = submodule ] || exec "$tmp/bin/git" "\$@"
"$tmp/bin/git" "\$@"
seq 100 | sed 's|.*| 0123456789012345678901234567890123456789 many/& (heads/main)|'
sleep 1
GIT
chmod +x slow/git
tool_env=(PATH="$tmp/slow:$tmp/bin:$PATH")
# whole FILE: the previous header, or one from its guard to its closing line with no NUL byte.
whole() {
  cmp -s "$1" previous && return
  [ "$(head -n1 "$1")" = '#ifndef REVISION_H_' ] && tail -n1 "$1" | grep -q '^#endif' &&
    [ "$(tr -d '\000' <"$1" | wc -c)" = "$(wc -c <"$1")" ]
}
(
  until [ -e stop ]; do
    cp repo/applications/revision.h seen 2>/dev/null && whole seen || cp seen "torn.$RANDOM"
  done
  touch reader.done
) &
(
  # Keeping nothing: the run's own stamp, started after or before it on a busy machine, walks.
  sleep 0.4 && cd repo/fw
  REVSTAMP_NO_CACHE=1 "$tool" x >/dev/null 2>&1 && echo "plain stamp exited 0" >"$tmp/plain.done" ||
    echo "plain stamp failed" >"$tmp/plain.done"
) &
after() {
  touch stop
  for _ in $(seq 100); do [ -e reader.done ] && [ -e plain.done ] && break || sleep 0.1; done
  cat plain.done
  echo "torn reads: $(find . -maxdepth 1 -name 'torn.*' | wc -l)"
}

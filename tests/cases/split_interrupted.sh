# Stamps stopped while their split listing runs, and stamps beside them. SIGTERM and SIGINT, which
# the tool catches, leave no copy of the index; SIGKILL leaves one (made before this run), which
# the next stamp that copies the index removes. This run lists from its copy while another
# stamp, started from its first run, sweeps: its copy stays, and its listing is the one command's.
posix_only="a Git stand-in script"
new_project_with_lib a b c d
args=(x s)
mkdir "$tmp/stopping"
cat >"$tmp/stopping/git" <<GIT
#!/bin/sh
case "\$*" in "submodule status --recursive -- "*)
  case \${STOP_WITH:-} in
  sweep)
    if mkdir "$tmp/first-run" 2>/dev/null; then
      (cd "$tmp/repo/fw" && env -u GIT_INDEX_FILE STOP_WITH= "$tool" x s >/dev/null 2>&1; touch "$tmp/swept")
    else
      n=0
      while [ ! -e "$tmp/swept" ] && [ \$n -lt 200 ]; do n=\$((n + 1)); sleep 0.05; done
      ls -A "$tmp/repo/.git" | grep -c -e '^\.index\.revstamp-' >"$tmp/after-sweep"
    fi ;;
  ?*) kill -\$STOP_WITH \$PPID && sleep 1 && exit 1 ;;
  esac ;;
esac
# The case's own stamps run before the logging Git is in place.
[ -z "\${CASE_STAMP:-}" ] || exec "$real_git" "\$@"
exec "$tmp/bin/git" "\$@"
GIT
chmod +x "$tmp/stopping/git"
tool_env=(PATH="$tmp/stopping:$tmp/bin:$PATH")
{ stamp killed STOP_WITH=KILL; } 2>/dev/null
ls -A .git | grep -c -e '^\.index\.revstamp-' >"$tmp/left-by-kill"
tool_env+=(STOP_WITH=sweep)
after() {
  cp repo/applications/revision.h run.h
  echo "SIGKILL left $(cat left-by-kill); copies beside the run's after another's sweep:" \
    "$(cat after-sweep); the run: $(same_as_one_command)"
  tool_env=(PATH="$tmp/stopping:$tmp/bin:$PATH")
  for signal in TERM INT; do
    { TOOL_WRAPPER="env --default-signal=INT" stamp stopped "STOP_WITH=$signal"; } 2>/dev/null
    echo "SIG$signal: exit $(cat stopped/status), $(ls -A repo/.git | grep -c -e '^\.index\.') left"
  done
  cp run.h repo/applications/revision.h
}

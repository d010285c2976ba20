# A checkout in another terminal moves every gitlink in the index while a split listing runs: the
# first run to start lists, then the index changes before any other run starts. Every run reads
# the index as it stood when the listing began, so the block shows that one state: no line '+'
# beside another ' '. after shows that the index did change.
posix_only="a Git stand-in script"
new_project_with_lib a b c d e f
args=(x s)
new=$(cd ../lib && commit lib.c && git rev-parse HEAD)
mkdir "$tmp/racing"
cat >"$tmp/racing/git" <<GIT
#!/bin/sh
case "\$*" in "submodule status --recursive -- "*)
  if mkdir "$tmp/first" 2>/dev/null; then
    "$tmp/bin/git" "\$@"
    status=\$?
    # The other terminal's index, not the one this listing was handed.
    for path in a b c d e f; do
      env -u GIT_INDEX_FILE "$real_git" -C "$tmp/repo" update-index --cacheinfo "160000,$new,\$path"
    done
    touch "$tmp/moved"
    exit \$status
  fi
  n=0
  while [ ! -e "$tmp/moved" ] && [ \$n -lt 200 ]; do sleep 0.05; n=\$((n + 1)); done ;;
esac
exec "$tmp/bin/git" "\$@"
GIT
chmod +x "$tmp/racing/git"
tool_env=(PATH="$tmp/racing:$tmp/bin:$PATH")
after() { (cd repo && git submodule status | cut -c1 | uniq -c); }

# A checkout in another terminal between the key and the walk: the walk lists the other branch,
# and nothing is kept under the HEAD the key named. The branches differ in history only, so that
# git status, running meanwhile, finds the same clean tree either way.
new_project
commit main.c
git checkout -q -b other && tick && git commit -q --allow-empty -m other1 &&
  tick && git commit -q --allow-empty -m other2 && git checkout -q main
mkdir "$tmp/moving"
cat >"$tmp/moving/git" <<GIT
#!/bin/sh
[ "\$1" != rev-list ] || "$real_git" -C "$tmp/repo" checkout -q other
exec "$tmp/bin/git" "\$@"
GIT
chmod +x "$tmp/moving/git"
# Which branch git status names depends on when the checkout lands: the console is not compared.
tool_env=(PATH="$tmp/moving:$tmp/bin:$PATH" REVSTAMP_QUIET=1)
posix_only="a Git stand-in script"
after() {
  cp repo/applications/revision.h run.h && git -C repo checkout -q main
  tool_env=(PATH="$tmp/bin:$PATH") && stamp kept && cp repo/applications/revision.h kept.h
  stamp walk REVSTAMP_NO_CACHE=1
  cmp -s kept.h repo/applications/revision.h && echo "back on main: a walk's stamp" ||
    diff kept.h repo/applications/revision.h
  cp run.h repo/applications/revision.h
}

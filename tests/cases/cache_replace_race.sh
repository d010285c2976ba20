# Replace refs that the key cannot see shape nothing kept. One made while the walk runs (a git
# replace in another terminal) is not read by the walk a record is kept from: once it is gone,
# a stamp is a walk's. Each of these turns what is kept off, so that a stamp of a HEAD already
# kept is a walk's, failing where a walk fails: a replace ref under GIT_REPLACE_REF_BASE, one
# that names nothing, a packed one whose object is missing (all of which rev-parse --glob skips),
# and the folder an old one left.
posix_only="a Git stand-in script"
new_project
commit main.c
commit main.c
mkdir "$tmp/replacing"
cat >"$tmp/replacing/git" <<GIT
#!/bin/sh
[ "\$1" != rev-list ] || "$real_git" -C "$tmp/repo" replace --graft HEAD~1
exec "$tmp/bin/git" "\$@"
GIT
chmod +x "$tmp/replacing/git"
tool_env=(PATH="$tmp/replacing:$tmp/bin:$PATH")
# kept_then HOW: a stamp keeps HEAD's listing with no replace ref about (a stamp then walks
# nothing), then HOW makes one.
kept_then() {
  rm -rf repo/.git/refs/replace repo/.git/refs/other && git -C repo pack-refs --all &&
    sed -i '/ refs\/replace\//d' repo/.git/packed-refs && stamp keep && printf '%s, ' "$(walks)"
  local replaced=$(git -C repo rev-parse HEAD~1) made
  made=$(cd repo && git replace --graft HEAD~1 && git rev-parse "refs/replace/$replaced")
  git -C repo update-ref -d "refs/replace/$replaced"
  case $1 in
    base) git -C repo update-ref "refs/other/$replaced" "$made" && rm -r repo/.git/refs/replace ;;
    names-nothing) git -C repo symbolic-ref "refs/replace/$replaced" refs/heads/nothere ;;
    packed-missing) rm -r repo/.git/refs/replace &&
      echo "$(echo "$made" | tr 0-9a-f 1-9a-f0) refs/replace/$replaced" >>repo/.git/packed-refs ;;
  esac
}
after() {
  cp repo/applications/revision.h run.h
  tool_env=(PATH="$tmp/bin:$PATH")
  git -C repo replace -d "$(git -C repo rev-parse HEAD~1)" >/dev/null
  echo "made mid-walk, then gone: $(stamps_as_a_walk)"
  printf 'under GIT_REPLACE_REF_BASE: ' && kept_then base &&
    stamps_as_a_walk GIT_REPLACE_REF_BASE=refs/other/
  for how in names-nothing packed-missing folder-left; do
    printf '%s: ' "$how" && kept_then "$how" && echo "$(stamps_as_a_walk), exit $(cat walk/status)"
  done
  cp run.h repo/applications/revision.h
}

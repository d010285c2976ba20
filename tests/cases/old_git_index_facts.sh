# What a Git before 2.15 is given of the index, each time as the current Git stamps:
# - 2.14, the last that ignores GIT_OPTIONAL_LOCKS: git status reads a copy that keeps the index's
#   time, so a file changed in the second the index was written (same size, ctime not trusted)
#   is still looked at: M, and .git/index left alone;
# - 2.11 with GIT_INDEX_FILE naming another index, which such a Git reads itself: its letter;
# - 2.17, which lists submodules from the top, stamped from the top itself (the way up empty).
posix_only="a Git stand-in script"
new_project_with_lib
git config core.trustctime false
printf aaaa >racy.c && touch -d @1700000000 racy.c && git add racy.c && tick && git commit -qm racy
printf bbbb >racy.c && touch -d @1700000000 racy.c .git/index
# says VERSION: a Git that says it is VERSION, first on PATH.
says() {
  mkdir -p "$tmp/git-$1"
  printf '#!/bin/sh\n[ "$1" != version ] || { echo "git version %s"; exit 0; }\nexec "%s" "$@"\n' \
    "$1" "$tmp/bin/git" >"$tmp/git-$1/git" && chmod +x "$tmp/git-$1/git"
  echo "$tmp/git-$1"
}
index_before=$(stat -c '%i %Y' .git/index)
tool_env=(PATH="$(says 2.14.0):$tmp/bin:$PATH")
after() {
  [ "$(stat -c '%i %Y' repo/.git/index)" = "$index_before" ] && echo "2.14: .git/index left alone"
  cp repo/applications/revision.h main.h && cp repo/.git/index other-index
  GIT_INDEX_FILE=$tmp/other-index git -C repo rm -q --cached main.c
  tool_env=(PATH="$(says 2.11.0):$tmp/bin:$PATH" GIT_INDEX_FILE=$tmp/other-index) && stamp other
  echo "2.11 with another index: $(grep MULTI repo/applications/revision.h)"
  mkdir applications && run_dir=repo args=(x s)
  tool_env=(PATH="$tmp/bin:$PATH") && stamp top && cp applications/revision.h top.h
  tool_env=(PATH="$(says 2.17.0):$tmp/bin:$PATH") && stamp old-top
  cmp -s top.h applications/revision.h && cmp -s top/stdout old-top/stdout &&
    echo "2.17 from the top: the current Git's stamp, exit $(cat old-top/status)" ||
    { diff top.h applications/revision.h; cat old-top/stderr; }
  # The run's own header is the one kept.
  mv main.h repo/applications/revision.h
}

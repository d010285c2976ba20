# A walk that failed keeps nothing, though Git printed whole lines before it died: a stamp while
# a commit object of HEAD~2 is away (exit 1), a stamp of a --shared clone while its alternates
# file is away, and a stamp whose Git is killed after one line. Each time, once the repository is
# whole again, the stamp is a walk's.
posix_only="a Git stand-in script"
new_project
for i in 1 2 3 4; do commit main.c; done
object=.git/objects/$(git rev-parse HEAD~2 | sed 's|^..|&/|')
mv "$object" "$tmp/away" && stamp broken && mv "$tmp/away" "$object"
after() {
  cp repo/applications/revision.h run.h
  echo "object away: exit $(cat broken/status), then $(same_as_a_walk)"
  git clone -q --shared repo shared && mkdir shared/applications shared/fw
  (cd shared && commit main.c && commit main.c)
  mv shared/.git/objects/info/alternates away && run_dir=shared/fw && stamp broken
  mv away shared/.git/objects/info/alternates
  echo "alternates away: exit $(cat broken/status), then $(stamps_as_a_walk)"
  mkdir killed && printf '#!/bin/sh\n[ "$1" = rev-list ] || exec "%s" "$@"\n"%s" "$@" | head -1\nkill -KILL $$\n' \
    "$real_git" "$real_git" >killed/git && chmod +x killed/git
  rm repo/.git/info/revstamp-cache && run_dir=repo/fw
  tool_env=(PATH="$tmp/killed:$PATH") && stamp broken && tool_env=(PATH="$tmp/bin:$PATH")
  echo "killed: exit $(cat broken/status), then $(stamps_as_a_walk)"
  cp run.h repo/applications/revision.h
}

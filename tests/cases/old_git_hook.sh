# A commit hook's build (Git sets GIT_INDEX_FILE for every hook, relative to the top) with a Git
# before 2.13, which reads that file itself: no index copy, and the stamps, targeted and plain,
# are the ones a newer Git gives, with nothing left in .git; so is one outside the hook, whose
# git status reads a copy.
posix_only="a Git stand-in script"
new_project_with_lib a b c d
echo change >>main.c
args=(x s)
mkdir "$tmp/old"
# With COPIES set, each run of a split listing notes how many index copies lie beside the index.
cat >"$tmp/old/git" <<GIT
#!/bin/sh
[ "\$1" != version ] || { echo "git version 2.11.0"; exit 0; }
case "\${COPIES:-}:\$*" in ?*":submodule status --recursive -- "*)
  ls -a "\$(dirname "\$GIT_INDEX_FILE")" | grep -c '^\.index\.revstamp-' >>"\$COPIES" ;;
esac
exec "$tmp/bin/git" "\$@"
GIT
chmod +x "$tmp/old/git"
tool_env=(PATH="$tmp/old:$tmp/bin:$PATH" GIT_INDEX_FILE=.git/index)
after() {
  cp repo/applications/revision.h old.h
  tool_env=(PATH="$tmp/bin:$PATH" GIT_INDEX_FILE=.git/index) && stamp new
  cmp -s old.h repo/applications/revision.h && cmp -s new/stdout "$out/stdout" &&
    echo "targeted: a newer Git's stamp" || diff old.h repo/applications/revision.h
  args=(x) && stamp new && cp repo/applications/revision.h new.h
  tool_env=(PATH="$tmp/old:$tmp/bin:$PATH" GIT_INDEX_FILE=.git/index) && stamp old
  cmp -s new.h repo/applications/revision.h && cmp -s new/stdout old/stdout &&
    cat old/status && echo "plain: a newer Git's stamp" || diff new.h repo/applications/revision.h
  # Without the hook's GIT_INDEX_FILE, git status reads a copy of the index, removed afterwards;
  # the targeted stamp's split listing reads that same copy.
  tool_env=(PATH="$tmp/old:$tmp/bin:$PATH") && stamp copy
  cmp -s new.h repo/applications/revision.h && cmp -s new/stdout copy/stdout &&
    echo "no hook: a newer Git's stamp" || diff new.h repo/applications/revision.h
  cp repo/applications/revision.h plain.h
  args=(x s) && tool_env=(PATH="$tmp/old:$tmp/bin:$PATH" COPIES="$tmp/copies") && stamp shared
  echo "index copies beside the index while the split listing ran: $(sort -u copies)"
  mv plain.h repo/applications/revision.h
  ls -A repo/.git | grep index
}

# A cat-file that does not answer with a whole commit (a broken Git, or a wrapper that mangles
# what it prints): the last commit's own date cannot be read, so no stamp keeps its listing and
# the next stamp walks again; what each stamp prints and writes is still the walk's. The author's
# date equals the committer's here, so a reader that took the author's line would keep a record.
posix_only="a Git stand-in script"
new_project
commit main.c
after() {
  local header=repo/applications/revision.h record=repo/.git/info/revstamp-cache
  cp "$header" run.h && stamp walk REVSTAMP_NO_CACHE=1 && cp "$header" walk.h
  mkdir odd && git -C repo cat-file commit HEAD~1 >whole
  printf '#!/bin/sh\n[ "$1" = cat-file ] || exec "%s" "$@"\ncat "%s/odd/object"\nexit "$(cat "%s/odd/cat-status")"\n' \
    "$real_git" "$tmp" "$tmp" >odd/git && chmod +x odd/git
  while IFS=: read -r name status lines; do
    eval "$lines" <whole >odd/object && echo "$status" >odd/cat-status && rm -f "$record"
    stamp odd PATH="$tmp/odd:$PATH"
    cmp -s "$header" walk.h && cmp -s odd/stdout walk/stdout && look="the walk's" || look="another"
    echo "$name: exit $(cat odd/status), $look stamp, then $(walks)"
    cp run.h "$header"
  done <<'VARIANTS'
the tree line alone, no line end:0:head -1 | tr -d '\n'
no committer:0:sed -n 1,2p
the committer before the author:0:sed -n '1p;2h;3{p;x;p}'
no > before the date:0:sed '3s/>//'
no line end after the committer:0:head -3 | head -c -1
cat-file failed:128:true
VARIANTS
}

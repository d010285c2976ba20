# Git before 2.15 echoes the shallow probe's option back: that line is no answer and no commit.
new_project
commit main.c
cd "$tmp"
mkdir old
probe=$(grep is-shallow "$golden/clean/git.log")
cat >old/git <<GIT
#!/bin/sh
[ "\$*" = "$probe" ] || exec "$tmp/bin/git" "\$@"
echo "\$*" >>"$out/git.log"
echo 0 >"$out/git-out/answers/rev-parse--is-shallow-repository-q.status"
echo --is-shallow-repository | tee "$out/git-out/answers/rev-parse--is-shallow-repository-q.out"
GIT
chmod +x old/git
tool_env=(PATH="$tmp/old:$tmp/bin:$PATH")

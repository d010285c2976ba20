# Git before 2.15 echoes the shallow probe's option back: that line is no answer and no commit.
new_project
commit main.c
cd "$tmp"
mkdir old
probe=$(grep is-shallow "$golden/clean/git.log")
answer=$out/git-out/answers/$(answer_key $probe)
cat >old/git <<GIT
#!/bin/sh
[ "\$*" = "$probe" ] || exec "$tmp/bin/git" "\$@"
echo "\$*" >>"$out/git.log"
echo 0 >"$answer.status"
echo --is-shallow-repository | tee "$answer.out"
GIT
chmod +x old/git
tool_env=(PATH="$tmp/old:$tmp/bin:$PATH")

# Git before 1.8.5 (CentOS 7's 1.8.3.1) starts every status line with "#", an entry with "#" and
# a TAB: the first entry still decides. Its answer, as it printed it, stands in for Git's.
new_project
echo change >>main.c
mkdir "$tmp/old"
answer=$out/git-out/answers/$(answer_key "$(grep -- '-c color' "$golden/modified/git.log")")
cat >"$tmp/old/git" <<GIT
#!/bin/sh
case "\$*" in -c*status*) ;; *) exec "$tmp/bin/git" "\$@" ;; esac
echo "\$*" >>"$out/git.log"
echo 0 >"$answer.status"
printf '# On branch main\n# Changes not staged for commit:\n#\n#\tmodified:   main.c\n#\n' |
  tee "$answer.out"
GIT
chmod +x "$tmp/old/git"
tool_env=(PATH="$tmp/old:$tmp/bin:$PATH")

# A Git killed by a signal after it listed one commit of two: the short count is no stamp.
posix_only="a Git stand-in script"
new_project
commit main.c
mkdir "$tmp/killed"
cat >"$tmp/killed/git" <<GIT
#!/bin/sh
[ "\$1" = rev-list ] || exec "$tmp/bin/git" "\$@"
echo "\$*" >>"$out/git.log"
"$real_git" rev-list -1 HEAD
kill -KILL \$\$
GIT
chmod +x "$tmp/killed/git"
tool_env=(PATH="$tmp/killed:$tmp/bin:$PATH")

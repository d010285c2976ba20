# What every Git command inherits from the tool, which ignores SIGXFSZ itself: the null device as
# its stdin, whatever the build's stdin is, and SIGXFSZ at its default.
posix_only="a Git stand-in script and /proc"
new_project
mkdir "$tmp/seen"
cat >"$tmp/seen/git" <<GIT
#!/bin/sh
mask=0x\$(sed -n 's/^SigIgn:[[:space:]]*//p' /proc/\$\$/status)
[ \$((mask & 0x1000000)) = 0 ] && xfsz=default || xfsz=ignored
echo "stdin \$(readlink /proc/\$\$/fd/0), SIGXFSZ \$xfsz" >>"$tmp/seen.log"
exec "$tmp/bin/git" "\$@"
GIT
chmod +x "$tmp/seen/git"
tool_env=(PATH="$tmp/seen:$tmp/bin:$PATH")
tool_streams='<../main.c'
after() { sort -u seen.log; }

# A stamp killed while Git lists the submodules leaves the previous header byte for byte.
posix_only="a Git stand-in script"
new_project_with_lib
echo '/* previous */' >applications/revision.h
cd "$tmp"
args=(x s)
mkdir slow
# Git that kills the tool when asked for the submodule listing; the tool is its parent, or the
# shell's that runs it.
cat >slow/git <<GIT
#!/bin/sh
[ "\$1" = submodule ] || exec "$tmp/bin/git" "\$@"
echo "\$*" >>"$out/git.log"
# The tool's other Git commands, started beside this one, have logged themselves before the tool
# dies, so none logs after the run's git.log was sorted: all seven a targeted stamp with nothing
# kept starts before it reads the listing.
n=0
while [ "\$(wc -l <"$out/git.log")" -lt 7 ] && [ \$n -lt 200 ]; do n=\$((n + 1)); sleep 0.05; done
tool=\$PPID
[ "\$(cat /proc/\$tool/comm)" = revstamp ] || tool=\$(cut -d' ' -f4 /proc/\$tool/stat)
kill -KILL "\$tool"
GIT
chmod +x slow/git
tool_env=(PATH="$tmp/slow:$tmp/bin:$PATH")

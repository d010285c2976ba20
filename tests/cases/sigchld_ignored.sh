# Started by a parent that ignores SIGCHLD (some CI agents, daemons, Python scripts): Git's exit
# statuses can still be waited for, and the stamp is the usual one.
posix_only="a signal disposition"
new_project
echo change >>main.c
printf '#!/usr/bin/perl\n$SIG{CHLD} = "IGNORE";\nexec @ARGV or die;\n' >"$tmp/ignoring"
chmod +x "$tmp/ignoring"
TOOL_WRAPPER=$tmp/ignoring

# A header that is a file bind-mounted on its own (into a container): written in place at once,
# with no warning, through the mount into the file outside.
posix_only="mount namespaces"
new_project
echo '/* previous */' >applications/revision.h
echo '/* outside */' >"$tmp/outside.h"
{ [ "$(id -u)" = 0 ] && unshare -m true 2>/dev/null; } ||
  echo "a bind mount needs root and mount namespaces" >"$out/skip"
cat >"$tmp/mounted" <<'SH'
#!/bin/sh
exec unshare -m sh -c 'mount --bind "$1" "$2" && shift 2 && exec "$@"' sh "$@"
SH
chmod +x "$tmp/mounted"
TOOL_WRAPPER="$tmp/mounted $tmp/outside.h $tmp/repo/applications/revision.h"
after() { head -n 1 outside.h; cat repo/applications/revision.h; }

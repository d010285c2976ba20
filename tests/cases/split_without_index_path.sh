# A Git whose --git-path fails, so it cannot name its index file: there is no copy of the index
# for the runs to share, so Git's one command lists the submodules.
posix_only="a Git stand-in script"
new_project_with_lib a b c d
args=(x s)
mkdir "$tmp/old"
cat >"$tmp/old/git" <<GIT
#!/bin/sh
[ "\$*" != "rev-parse --git-path index" ] || { echo "fatal: ambiguous argument 'index'" >&2; exit 128; }
exec "$tmp/bin/git" "\$@"
GIT
chmod +x "$tmp/old/git"
tool_env=(PATH="$tmp/old:$tmp/bin:$PATH")

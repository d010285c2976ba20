# A package manager's git shim whose target is gone exits 1 before Git runs: no source tarball.
posix_only="a Git stand-in script"
new_project
mkdir "$tmp/shim"
cat >"$tmp/shim/git" <<GIT
#!/bin/sh
echo "\$*" >>"$out/git.log"
echo "shim: cannot find git.exe" >&2
exit 1
GIT
chmod +x "$tmp/shim/git"
tool_env=(PATH="$tmp/shim:$tmp/bin:$PATH")

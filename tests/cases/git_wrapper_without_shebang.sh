# A git wrapper script without a #! line, ahead on PATH, runs through /bin/sh, as from any shell.
new_project
echo change >>main.c
mkdir "$tmp/wrapper"
echo "exec '$tmp/bin/git' \"\$@\"" >"$tmp/wrapper/git"
chmod +x "$tmp/wrapper/git"
tool_env=(PATH="$tmp/wrapper:$tmp/bin:$PATH")

# A Git that crashes on every command before it prints anything is no source tarball: the
# placeholder is stamped, and the run fails.
posix_only="a Git stand-in script"
new_project
mkdir "$tmp/crashing"
cat >"$tmp/crashing/git" <<GIT
#!/bin/sh
echo "\$*" >>"$out/git.log"
kill -SEGV \$\$
GIT
chmod +x "$tmp/crashing/git"
tool_env=(PATH="$tmp/crashing:$tmp/bin:$PATH")

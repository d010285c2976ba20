# A depth-1 clone, stamped by a Git before 2.15 that echoes the shallow probe back: the shallow
# file in the directory Git names tells, and the run fails as with a newer Git.
new_repo origin && (cd origin && commit main.c && commit main.c)
git clone -q --depth 1 "file://$tmp/origin" repo
mkdir repo/applications repo/fw
mkdir old
probe=$(grep is-shallow "$golden/clean/git.log")
cat >old/git <<GIT
#!/bin/sh
[ "\$*" = "$probe" ] || exec "$tmp/bin/git" "\$@"
echo "\$*" >>"$out/git.log"
echo --is-shallow-repository
GIT
chmod +x old/git
tool_env=(PATH="$tmp/old:$tmp/bin:$PATH")
posix_only="one stand-in answer for the probe and git rev-parse --git-dir"

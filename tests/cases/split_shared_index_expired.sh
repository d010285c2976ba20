# A split index whose shared file expires between the copy and its listing (another terminal
# writes the index anew, with splitIndex.sharedIndexExpire=now): the copy's listing fails without
# a word, and Git's one command lists from the index as it now stands.
posix_only="a Git stand-in script"
new_project_with_lib a b c d
git update-index --split-index
args=(x s)
mkdir "$tmp/expiring"
cat >"$tmp/expiring/git" <<GIT
#!/bin/sh
if [ "\$1" = ls-files ] && [ -n "\${GIT_INDEX_FILE:-}" ]; then
  env -u GIT_INDEX_FILE "$real_git" -C "$tmp/repo" update-index --no-split-index
  rm "$tmp"/repo/.git/sharedindex.*
fi
exec "$tmp/bin/git" "\$@"
GIT
chmod +x "$tmp/expiring/git"
tool_env=(PATH="$tmp/expiring:$tmp/bin:$PATH")
after() { same_as_one_command; }

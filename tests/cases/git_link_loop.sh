# A git that is a symbolic-link loop earlier on PATH than the real one: passed over as the
# shells pass it over, and the real Git stamps.
posix_only="a symbolic-link loop"
new_project
echo change >>main.c
mkdir "$tmp/loop"
ln -s git "$tmp/loop/git"
tool_env=(PATH="$tmp/loop:$tmp/bin:$PATH")

# Entries earlier on PATH than the real Git that hold no Git to run: one too long to be a path,
# an empty one (the working directory, which has none), a folder named git, a git that may not
# be run, and a symbolic-link loop. Each is passed over as the shells pass it over, and the real
# Git stamps.
posix_only="a symbolic-link loop"
new_project
echo change >>main.c
mkdir -p "$tmp/loop" "$tmp/folder/git" "$tmp/plain"
ln -s git "$tmp/loop/git"
printf '#!/bin/sh\necho 0123456789abcdef\n' >"$tmp/plain/git"
too_long=/$(printf 'x%.0s' $(seq 4100))
tool_env=(PATH="$too_long::$tmp/folder:$tmp/plain:$tmp/loop:$tmp/bin:$PATH")

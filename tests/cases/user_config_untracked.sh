# The same configuration on a tree with only untracked files: the whole echo, one file a line.
. "${case_file%/*}/user_config.sh"
git checkout -q main.c
touch one two three four

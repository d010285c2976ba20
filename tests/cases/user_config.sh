# The user's configuration asks for short, coloured, columned status with comment prefixes: the
# tool must still find the change and echo plain long-format lines.
new_project
echo change >>main.c
printf '[status]\n\tshort = true\n\tdisplayCommentPrefix = true\n[color]\n\tui = always\n[column]\n\tui = always\n' >"$tmp/gitconfig"
export GIT_CONFIG_GLOBAL=$tmp/gitconfig
# Without the short format here the case would prove nothing.
! git status | grep -q 'modified:' || { echo "git status is not short here" >&2; exit 1; }

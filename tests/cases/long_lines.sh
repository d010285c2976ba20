# Status lines longer than a piece: one of exactly 1023 characters (its line end comes as a
# piece of its own) and one whose "modified:" is cut in two by the piece limit, so it is
# not found.
new_project
git config status.showUntrackedFiles all
dir=$(printf 'd%.0s' {1..200})
path=$dir/$dir/$dir/$dir/$(printf 'e%.0s' {1..215})
mkdir -p "${path%/*}"
touch "$path" # "\t../" and the path: 1023 characters
touch "${path%/*}/$(printf 'f%.0s' {1..211})modified:x"

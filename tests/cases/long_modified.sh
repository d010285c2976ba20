# A modified path longer than a piece: the echo ends with the first piece, which decides.
new_project
dir=$(printf 'd%.0s' {1..250})
commit "$dir/$dir/$dir/$dir/$dir/file.c"
echo change >>"$dir/$dir/$dir/$dir/$dir/file.c"

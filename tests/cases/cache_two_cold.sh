# Two stamps at once with nothing kept: the record left is whole, and the next stamp uses it.
posix_only="two runs at once of the POSIX build"
new_project
# The header is none of the tree's changes, before or after it is written.
echo /applications/ >>.git/info/exclude
commit main.c
stamp_twice() {
  rm -f repo/.git/info/revstamp-cache
  stamp one & stamp two & wait
  cat one/status two/status && walks
}
after() { stamp_twice; stamp_twice; same_as_a_walk; }

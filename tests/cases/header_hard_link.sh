# A header with a second name: written in place, so both names hold the new stamp.
posix_only="hard links"
new_project
echo '/* previous */' >applications/revision.h
ln applications/revision.h header-link.h
after() { cmp repo/applications/revision.h repo/header-link.h && echo "both names: the new stamp"; }

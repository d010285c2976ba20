# What was kept, changed by hand (a count of 9), fails its checksum: the stamp walks.
new_project
commit main.c
stamp first
sed -i 's/\t[0-9]*\t/\t9\t/' .git/info/revstamp-cache
after() { same_as_a_walk; walks; }

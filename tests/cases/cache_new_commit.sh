# A commit after the last stamp: HEAD names another commit, and the stamp walks.
new_project
# The header is none of the tree's changes, before or after it is written.
echo /applications/ >>.git/info/exclude
commit main.c
stamp first
commit main.c
after() { same_as_a_walk; }

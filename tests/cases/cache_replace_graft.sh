# git replace --graft cuts HEAD's history short after a stamp: HEAD names the same commit, but
# its listing is another, and the stamp walks.
new_project
commit main.c
commit main.c
stamp first
git replace --graft HEAD~1
after() { same_as_a_walk; walks; }

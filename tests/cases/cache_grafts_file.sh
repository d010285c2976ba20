# A grafts file written after a stamp makes HEAD a root: the stamp walks.
new_project
commit main.c
commit main.c
stamp first
git rev-parse HEAD >.git/info/grafts
after() { same_as_a_walk; }

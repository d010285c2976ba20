# A stamp while HEAD stays put stamps what was kept: no git rev-list in its log.
new_project
commit main.c
stamp first
after() { same_as_a_walk; }

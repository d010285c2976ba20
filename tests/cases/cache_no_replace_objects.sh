# With a replace ref in place, GIT_NO_REPLACE_OBJECTS=1 decides the listing: nothing kept counts.
new_project
commit main.c
commit main.c
git replace --graft HEAD~1
stamp first
tool_env+=(GIT_NO_REPLACE_OBJECTS=1)
after() { same_as_a_walk; }

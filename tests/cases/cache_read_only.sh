# Where nothing can be written (info/ belongs to another user), nothing is kept, and nothing said.
posix_only="other users (setpriv)"
new_project
commit main.c
run_as 1002
chown root:root .git/info && chmod 755 .git/info
stamp first
after() { same_as_a_walk; ls repo/.git/info; }

# A stamp on another branch with a commit of its own, then back: each HEAD's record is kept
# beside the other's, and the stamp back on main walks nothing.
new_project
commit main.c
stamp on-main
git checkout -q -b other && echo x >other.c && git add other.c && tick && git commit -q -m other
stamp on-other
git checkout -q main
after() { same_as_a_walk; }

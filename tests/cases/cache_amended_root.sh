# The only commit amended: a new HEAD with the same count.
new_project
stamp first
echo more >>main.c && tick && git commit -q -a --amend -m "amended"
after() { same_as_a_walk; }

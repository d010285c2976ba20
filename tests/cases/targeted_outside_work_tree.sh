# Run inside .git, where there is no work tree: the index holds no gitlink, yet the submodule
# command is still started, after git status, and its refusal is heard and counts.
new_project
args=(x s)
run_dir=repo/.git

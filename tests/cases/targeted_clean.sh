# No submodules: the listing is an empty literal. Clean: line 22 without the state letter.
new_project
args=(x s)

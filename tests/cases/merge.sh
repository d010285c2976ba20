# Commits of a merged branch count too: 1 + 2 + 1 + the merge.
new_project
git checkout -q -b feature
commit feature.c
commit feature.c
git checkout -q main
commit main.c
tick
git merge -q --no-ff -m merge feature

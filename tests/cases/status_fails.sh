# git status fails when a submodule's Git directory has moved away: not a clean tree.
new_project_with_lib
mv .git/modules/lib "$tmp/moved"

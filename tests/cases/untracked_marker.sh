# An untracked name that holds a marker is taken for a change.
new_project
touch 'a new file'

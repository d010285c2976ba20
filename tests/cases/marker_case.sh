# Markers are case-sensitive: untracked names in other case are no changes.
new_project
touch Modified:a 'New file' DELETED:b

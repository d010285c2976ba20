# One line holds "deleted:" before "modified:"; the marker table's order decides, not position.
new_project
commit modified:x
rm modified:x

# The stamped hash is the oldest commit's, from the listing's last line.
new_project
commit main.c
commit util.c

# A folder named HEAD beside the tool: the history listing must still name the revision.
new_project
commit fw/HEAD/notes.txt
commit main.c

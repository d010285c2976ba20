new_project
mkdir applications/revision.h

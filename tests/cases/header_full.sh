# The header's bytes cannot be written (a full disk): the run must not pass for a success.
new_project
echo change >>main.c
ln -s /dev/full applications/revision.h

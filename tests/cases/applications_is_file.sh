# A file named applications stands where the header's folder belongs: the header cannot be
# opened, and the hint for a run from the wrong directory is not given, since the folder's name
# is there.
new_project
rmdir applications
echo 'not a folder' >applications

# No descriptor is left for a pipe, but one is for the header.
posix_only="resource limits"
new_project
echo change >>main.c
limit_files=1

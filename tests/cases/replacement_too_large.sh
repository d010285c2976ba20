# The new header cannot be written in full: the previous one stays as it was, nothing is left
# beside it, and the run says so.
new_project_with_lib "lib$(printf '%0200d' 0)"
echo '/* previous */' >applications/revision.h
args=(x s)
limit_file_size=1

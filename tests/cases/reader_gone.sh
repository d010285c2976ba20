# stdout piped into head -1, with more status lines than a pipe holds: the header is still
# written, and the lost lines are reported.
posix_only="the tool's standard streams redirected"
new_project
touch $(seq -f 'an-untracked-file-with-a-long-name-%g.c' 3000)
tool_streams='> >(head -1 >/dev/null)'

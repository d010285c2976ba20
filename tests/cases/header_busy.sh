# The file system says the header is busy when it would be replaced (an SMB mount while another
# client has it open): after about a second of retries it is written in place, with a warning.
posix_only="a preloaded library"
new_project
echo '/* previous */' >applications/revision.h
tool_env+=(LD_PRELOAD="$FAIL_SPAWN_LIB" FAIL_CALL=rename_busy)

# REVSTAMP_KEEP_STAMP=1 in a source drop with a FIFO at the header's path: nothing waits to read
# it (the time limit fails a run that would).
posix_only="a FIFO"
mkdir -p project/applications project/fw
run_dir=project/fw
mkfifo project/applications/revision.h
export REVSTAMP_KEEP_STAMP=1
TOOL_WRAPPER="timeout 10"

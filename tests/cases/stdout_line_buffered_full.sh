# Console lines lost one by one (line-buffered on a full disk), with no header before the run:
# the report gives the failed write's own reason.
posix_only="the tool's standard streams redirected"
new_project
echo change >>main.c
tool_streams='>/dev/full'
TOOL_WRAPPER="stdbuf -oL"

# REVSTAMP_KEEP_STAMP=1 where Git lists the history: the stamp in the header is replaced all the
# same.
new_project
printf '#define FIRMWARE_VER_REV 42\n' >applications/revision.h
export REVSTAMP_KEEP_STAMP=1

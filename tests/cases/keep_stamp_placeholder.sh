# REVSTAMP_KEEP_STAMP=1 in a source drop whose header holds the placeholder: stamped again.
mkdir -p project/applications project/fw
run_dir=project/fw
printf '#define      FIRMWARE_VER_REV 0\n/* placeholder */\n' >project/applications/revision.h
export REVSTAMP_KEEP_STAMP=1

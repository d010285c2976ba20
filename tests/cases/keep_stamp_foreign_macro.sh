# REVSTAMP_KEEP_STAMP=1 in a source drop whose header is another tool's: MY_FIRMWARE_VER_REV is
# no stamp of revstamp's, so the placeholder is stamped, and REVSTAMP_REQUIRE_HISTORY fails it.
mkdir -p project/applications project/fw
run_dir=project/fw
printf '#define MY_FIRMWARE_VER_REV 7\n' >project/applications/revision.h
export REVSTAMP_KEEP_STAMP=1 REVSTAMP_REQUIRE_HISTORY=1

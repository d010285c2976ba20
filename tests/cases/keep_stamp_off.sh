# A source drop whose header holds a real stamp, without REVSTAMP_KEEP_STAMP: the placeholder is
# stamped, as it always was.
mkdir -p project/applications project/fw
run_dir=project/fw
printf '#define FIRMWARE_VER_REV 4711\n' >project/applications/revision.h

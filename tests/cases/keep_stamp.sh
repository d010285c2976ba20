# REVSTAMP_KEEP_STAMP=1 in a source drop (no .git) whose header holds a real stamp: left alone,
# with a warning; REVSTAMP_REQUIRE_HISTORY=1 beside it does not fail the kept stamp.
posix_only="the kept header keeps its LF line ends, where the Windows run is compared with CR LF"
mkdir -p project/applications project/fw
run_dir=project/fw
printf '#define FIRMWARE_VER_REV 4711\n#define FIRMWARE_VER_HASH_STR "1234abcd"\n' \
  >project/applications/revision.h
export REVSTAMP_KEEP_STAMP=1 REVSTAMP_REQUIRE_HISTORY=1

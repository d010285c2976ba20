# A branch ref left empty (by a crash or a full disk) where three commits were: a broken
# repository, not an unborn branch. The run fails, and REVSTAMP_KEEP_STAMP keeps no stamp.

new_project
commit main.c
commit main.c
: >.git/refs/heads/main
printf '#define FIRMWARE_VER_REV 42\n' >applications/revision.h
export REVSTAMP_KEEP_STAMP=1 REVSTAMP_REQUIRE_HISTORY=1

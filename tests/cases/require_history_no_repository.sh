# REVSTAMP_REQUIRE_HISTORY=1 outside any repository: the placeholder is stamped, and the run fails
# saying why, under Git's own message.
mkdir -p project/applications project/fw
run_dir=project/fw
export REVSTAMP_REQUIRE_HISTORY=1

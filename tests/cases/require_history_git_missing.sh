# REVSTAMP_REQUIRE_HISTORY=1 without Git: the placeholder is stamped, and the run fails.
new_project
tool_env=(PATH="$tmp/no-git")
export REVSTAMP_REQUIRE_HISTORY=1

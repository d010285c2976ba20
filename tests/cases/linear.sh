# The stamped hash is the oldest commit's, from the listing's last line. Opt-ins set to anything
# but exactly 1 stay off.
new_project
commit main.c
commit util.c
export REVSTAMP_EXTRA_MACROS=true REVSTAMP_QUIET=01

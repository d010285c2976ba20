# REVSTAMP_EXTRA_MACROS=1 in a shallow clone the user accepts: stamped, but never valid.
. "${case_file%/*}/shallow_allowed.sh"
export REVSTAMP_EXTRA_MACROS=1

# A shallow clone the user accepts: the same warning, and a successful run.
. "${case_file%/*}/shallow_clone.sh"
export REVSTAMP_ALLOW_SHALLOW=1

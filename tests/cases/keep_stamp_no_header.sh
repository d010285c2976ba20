# REVSTAMP_KEEP_STAMP=1 in a source drop without a header: there is nothing to keep, and the
# placeholder is stamped.
mkdir -p project/applications project/fw
run_dir=project/fw
export REVSTAMP_KEEP_STAMP=1

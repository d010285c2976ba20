# REVSTAMP_EXTRA_MACROS=1 outside a repository: the placeholder names nothing and is not valid.
mkdir -p project/applications project/fw
run_dir=project/fw
args=(x s)
export REVSTAMP_EXTRA_MACROS=1

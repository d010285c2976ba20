mkdir -p project/applications project/fw
run_dir=project/fw

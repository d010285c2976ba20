# No commit yet, and the check whether HEAD names an object cannot be started.
new_repo repo
mkdir repo/applications repo/fw
fail_spawn="git rev-parse -q --verify HEAD"

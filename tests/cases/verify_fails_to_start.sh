# No commit yet, and the check whether HEAD names an object cannot be started.
posix_only="a preloaded library"
new_repo repo
mkdir repo/applications repo/fw
fail_spawn=$(grep -e "^rev-parse -q --verify" "$golden/no_commits/git.log")

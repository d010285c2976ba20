# A plain clone of a project with submodules, none initialised: Git has checked out none, so the
# one command lists at once, with no index listing before it.
new_project_with_lib
cd "$tmp"
git clone -q repo clone && mkdir clone/fw clone/applications
run_dir=clone/fw
args=(x s)

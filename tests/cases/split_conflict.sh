# Four submodules checked out, and lib/drv a file at stage 1 and a gitlink at stage 3 (a folder
# made a submodule on one branch, deleted on the other): Git's matcher would drop the gitlink
# from a pathspec run, so the one command lists, U line and all.
posix_only="the same one command as the Linux run"
new_project_with_lib a b c d
commit lib/drv
git checkout -q -b submodule && git rm -q lib/drv && add_submodule ../lib lib/drv
tick && git commit -q -m "lib/drv a submodule"
git checkout -q main && git rm -q lib/drv && tick && git commit -q -m "lib/drv gone"
git merge -q submodule >/dev/null 2>&1 || true
args=(x s)
after() { git -C repo ls-files -s lib/drv | cut -c1-6,48-; same_as_one_command; }

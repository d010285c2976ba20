# Four submodules checked out beside 4,000 files of long names (an index listing of 1.2 MB, the
# files themselves left out of the work tree): copying and listing so large an index again, and
# each run reading it, would cost more than the split saves, so Git's one command lists, and the
# index is listed once, its last files left unread.
new_project_with_lib a b c d
blob=$(git hash-object -w /dev/null)
awk -v blob="$blob" 'BEGIN { for (i = 1; i <= 4000; i++) printf "100644 %s\tmany/%0250d\n", blob, i }' |
  git update-index --index-info
git ls-files -z many | xargs -0 git update-index --skip-worktree
tick && git commit -q -m many
args=(x s)
after() { same_as_one_command; }

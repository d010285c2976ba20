# Five submodules, three of them checked out: too few to pay for a split listing, so Git's one
# command lists them all.
new_project_with_lib a b c d e
git submodule deinit -q d e
args=(x s)

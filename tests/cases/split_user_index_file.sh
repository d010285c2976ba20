# A build that names its own index in GIT_INDEX_FILE (a full path): the split listing copies and
# lists that index, not .git/index, so a and b show the commits it records (+), as Git's one
# command shows them.
posix_only="an index named by a POSIX path"
new_project_with_lib a b c d
args=(x s)
new=$(cd ../lib && commit lib.c && git rev-parse HEAD)
cp .git/index "$tmp/own-index"
for path in a b; do
  GIT_INDEX_FILE=$tmp/own-index git update-index --cacheinfo "160000,$new,$path"
done
export GIT_INDEX_FILE=$tmp/own-index
after() { same_as_one_command; }

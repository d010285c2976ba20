# A commit dated past 2^34 seconds (a tool that wrote milliseconds), which a commit-graph keeps in
# 34 bits only: once a graph is written the walk lists in another order, and its last line
# changes while HEAD stays. Such a listing is never kept: the stamp after git commit-graph write
# (this run), after git gc and with core.commitGraph=false is a walk's. A history whose dates no
# graph changes, merges and all, is kept with a graph as without one.
new_project
git checkout -q -b side && echo side >side.c && git add side.c &&
  GIT_COMMITTER_DATE="@1718000000000 +0000" git commit -q -m side
git checkout -q main && commit main.c && tick && git merge -q --no-edit side
stamp first
git commit-graph write --reachable
after() {
  cp repo/applications/revision.h run.h
  echo "graph written: $(same_as_a_walk)"
  rm -f repo/.git/objects/info/commit-graph && stamp none && git -C repo gc -q
  echo "after git gc: $(stamps_as_a_walk)"
  echo "core.commitGraph=false: $(stamps_as_a_walk GIT_CONFIG_COUNT=1 GIT_CONFIG_KEY_0=core.commitGraph \
    GIT_CONFIG_VALUE_0=false)"
  (cd repo && git checkout -q -b other HEAD~1 && commit y.c && git checkout -q -b ordinary HEAD~1 &&
    commit x.c && tick && git merge -q --no-edit other)
  stamp ordinary && echo "ordinary dates, a graph: $(walks), $(stamps_as_a_walk)"
  cp run.h repo/applications/revision.h
}

# The tool must never rewrite .git/index, where a plain git status would refresh it.
new_project
unset GIT_OPTIONAL_LOCKS
index_state() { stat -c %y .git/index && sha1sum <.git/index; }
# Same content, other mtime: the index's stat data for main.c is stale.
touch -d @1700000100 main.c
before=$(index_state)
git status >/dev/null
[ "$(index_state)" != "$before" ] || { echo "git status left the index alone here" >&2; exit 1; }
touch -d @1700000200 main.c
before=$(index_state)
after() {
  cd repo
  [ "$(index_state)" = "$before" ] && echo "index kept its bytes and mtime" || echo "index rewritten"
}

# REVSTAMP_REQUIRE_HISTORY=1 where Git refuses the repository: a .git that Git cannot read, whose
# message is the one to read; then a checkout another user owns, stamped by root as a container
# build does, refused as of dubious ownership: the error names safe.directory.
posix_only="ownership by another user"
new_project
export REVSTAMP_REQUIRE_HISTORY=1
mv .git git-dir && echo "gitdir: /nowhere" >.git
after() {
  [ "$(id -u)" = 0 ] || { echo "giving a checkout away needs root"; return; }
  rm repo/.git && mv repo/git-dir repo/.git && chown -R 1000:1000 repo && stamp refused
  echo "exit $(cat refused/status): $(sed "s|$tmp|TMP|" refused/stderr)"
}

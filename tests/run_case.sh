#!/usr/bin/env bash
# Builds one case's repository in a fresh temporary directory, runs the tool there and
# leaves what it produced in OUT: stdout, stderr, status, revision.h (when written) and
# git.log (the Git command lines the tool started, in order). For checks that need Git's own
# view, it adds rev-list and submodules: what those commands print in the same place.
#   run_case.sh TOOL CASE_FILE OUT [ARG...]   (ARGs replace the case's arguments)
set -euo pipefail
tool=$1 case_file=$2 out=$3
shift 3
real_git=$(command -v git)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out" "$tmp/home" "$tmp/bin"
rm -f "$out"/{stdout,stderr,status,revision.h,git.log,rev-list,submodules}

export HOME=$tmp/home LC_ALL=C GIT_CONFIG_GLOBAL=/dev/null GIT_CONFIG_NOSYSTEM=1
export GIT_AUTHOR_NAME=Dev GIT_AUTHOR_EMAIL=dev@example.com
export GIT_COMMITTER_NAME=Dev GIT_COMMITTER_EMAIL=dev@example.com
n=0
# tick: the next commit is dated one second after the last, so hashes and order are fixed.
tick() {
  n=$((n + 1))
  export GIT_AUTHOR_DATE="@$((1700000000 + n)) +0000" GIT_COMMITTER_DATE="@$((1700000000 + n)) +0000"
}
# commit FILE: appends a line to FILE and commits everything in the current repository.
commit() {
  mkdir -p "$(dirname "$1")"
  echo "line $n" >>"$1"
  git add -A
  tick
  git commit -q -m "change $n"
}
# new_repo DIR: an empty repository with branch main.
new_repo() { git init -q -b main "$1"; }
add_submodule() { git -c protocol.file.allow=always submodule add -q "$@"; }

# new_project: repository repo/ with one commit; the tool runs in repo/fw, the header goes
# to repo/applications. Leaves the case in repo/.
new_project() { new_repo repo && cd repo && mkdir applications fw && commit main.c; }

args=()
run_dir=repo/fw
tool_env=(PATH="$tmp/bin:$PATH")
limit_files=
remove_run_dir=
cd "$tmp"
# shellcheck source=/dev/null
. "$case_file"
cd "$tmp"
[ $# -eq 0 ] || args=("$@")

printf '#!/bin/sh\necho "$*" >>"%s/git.log"\nexec "%s" "$@"\n' "$out" "$real_git" >"$tmp/bin/git"
chmod +x "$tmp/bin/git"
: >"$out/git.log"
set +e
(
  cd "$run_dir"
  [ -n "$remove_run_dir" ] && rmdir "$PWD"
  exec >"$out/stdout" 2>"$out/stderr" </dev/null
  # With stdin closed and three descriptors allowed, the loader still works but no pipe fits.
  [ -n "$limit_files" ] && { exec 0<&-; ulimit -n 3; }
  exec env "${tool_env[@]}" "$tool" "${args[@]}"
)
echo $? >"$out/status"
set -e
header=$tmp/${run_dir%/*}/applications/revision.h
[ ! -f "$header" ] || cp "$header" "$out/revision.h"
(
  cd "$run_dir" 2>/dev/null || exit 0
  git rev-list HEAD >"$out/rev-list" 2>/dev/null
  git submodule status --recursive >"$out/submodules" 2>/dev/null
) || true

#!/usr/bin/env bash
# Builds one case's repository in a fresh temporary directory, runs the tool there and
# leaves what it produced in OUT: stdout, stderr, status, revision.h (when written),
# git.log (the Git command lines the tool started, sorted: it starts them side by side) and
# after (what the case's after function printed, when it has one); skip, when the case cannot
# run on this machine, says why. A case whose fault only POSIX can make says so on a line
# posix_only="<why>", which keeps it out of the Windows runs. What each Git command printed is
# kept in OUT/git-out/answers/.
#   run_case.sh TOOL CASE_FILE OUT [ARG...]   (ARGs replace the case's arguments)
# OUT/win-tree/ keeps the tree as it stood before the run and OUT/wine.env what run_wine.sh
# needs to run the case's Windows build on it; with WINE_TOOL set, that is done at once, into
# OUT/win/.
set -euo pipefail
tool=$1 case_file=$2 out=$3
shift 3
real_git=$(command -v git)
# Cases name a Git command by a line of a golden git.log, as fail_spawn does.
golden=$(cd "$(dirname "$0")" && pwd)/golden
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# OUT is named after the test's process, whose number may be one an earlier run had: nothing of
# that run may pass for this one's.
rm -rf "$out"
mkdir -p "$out/git-out/answers" "$tmp/home" "$tmp/bin"

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
  [[ $1 != */* ]] || mkdir -p "${1%/*}"
  echo "line $n" >>"$1"
  git add -A
  tick
  git commit -q -m "change $n"
}
# new_repo DIR: an empty repository with branch main.
new_repo() { git init -q -b main "$1"; }
# add_submodule URL PATH: git submodule add, without the shell script in front of the helper that
# does the work (this Git's own; the script starts a dozen programs before it hands over).
add_submodule() { git -c protocol.file.allow=always submodule--helper add -q -- "$@"; }

# new_project: repository repo/ with one commit; the tool runs in repo/fw, the header goes
# to repo/applications. Leaves the case in repo/.
new_project() { new_repo repo && cd repo && mkdir applications fw && commit main.c; }
# new_project_with_lib [PATH...]: new_project with the repository lib committed as a submodule
# at each PATH (default: lib).
new_project_with_lib() {
  new_repo lib && (cd lib && commit lib.c)
  new_project
  for path in "${@:-lib}"; do add_submodule ../lib "$path"; done
  tick && git commit -q -m "add lib"
}

# answer_key WORDS...: the name the recording Git (git_recorder.c) files a command's answer under.
answer_key() { printf %s "$*" | tr -cd 'A-Za-z0-9._=-' | cut -c1-200; }

# failing_split_runs: every run of a split listing fails, so that Git's one command lists, and
# the stand-in has its answer and each run's (Git's failure).
failing_split_runs() {
  mkdir "$tmp/failing"
  # The run is recorded as it fails, outside any repository.
  printf '#!/bin/sh\ncase "$*" in submodule*" -- "*) export GIT_DIR=/nonexistent ;; esac\nexec "%s" "$@"\n' \
    "$tmp/bin/git" >"$tmp/failing/git"
  chmod +x "$tmp/failing/git"
  tool_env=(PATH="$tmp/failing:$tmp/bin:$PATH")
}

# run_as UID [GROUP]: the tool, and Git, run as that user (in that group too) on the repository,
# which the user then owns; skipped where this is not root or has no setpriv.
run_as() {
  [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null ||
    { echo "running as another user needs root and setpriv" >"$out/skip"; return; }
  chmod 755 "$tmp" && chown -R "$1:$1" "$tmp/repo"
  chmod 777 "$out" "$out/git-out" "$out/git-out/answers" && touch "$out/git.log" && chmod 666 "$out/git.log"
  TOOL_WRAPPER="setpriv --reuid=$1 --regid=$1 --groups=${2:-$1}"
  # A coverage build's counters, which that user may not write where they live, go here instead.
  mkdir -m 777 "$tmp/gcov" && tool_env+=(GCOV_PREFIX="${REVSTAMP_GCOV_PREFIX:-$tmp/gcov}")
}

# same_as_one_command: stamps again in the same tree, with the index unlistable so that Git's one
# command lists the submodules; says whether stdout, stderr, status and header are the run's own.
same_as_one_command() {
  mkdir -p one && printf '#!/bin/sh\n[ "$1" != ls-files ] || exit 1\nexec "%s" "$@"\n' "$real_git" >one/git
  chmod +x one/git && mv "${run_dir%/*}/applications/revision.h" one/split.h
  (cd "$run_dir" && env "${tool_env[@]}" PATH="$tmp/one:$PATH" "$tool" "${args[@]}" >"$tmp/one/stdout" \
    2>"$tmp/one/stderr"; echo $? >"$tmp/one/status")
  mv "${run_dir%/*}/applications/revision.h" one/revision.h && mv one/split.h "${run_dir%/*}/applications/"
  cmp -s one/revision.h "${run_dir%/*}/applications/split.h" && cmp -s one/stdout "$out/stdout" &&
    cmp -s one/status "$out/status" && [ "$(sort one/stderr)" = "$(sort "$out/stderr")" ] &&
    echo "the one command's stamp" || {
    echo "not the one command's stamp:" && diff -a one/stdout "$out/stdout"
    diff one/stderr "$out/stderr" && diff one/status "$out/status"
  }
  mv "${run_dir%/*}/applications/split.h" "${run_dir%/*}/applications/revision.h"
}

# stamp NAME [VAR=VALUE...]: stamps as the case's run does, with these variables too, leaving
# stdout, stderr and status in $tmp/NAME/. Cases use it to stamp before the run and after it.
stamp() {
  local name=$1 status=0 && shift && mkdir -p "$tmp/$name"
  (cd "$tmp/$run_dir" && env "${tool_env[@]}" CASE_STAMP=1 "$@" ${TOOL_WRAPPER:-} "$tool" "${args[@]}" \
    >"$tmp/$name/stdout" 2>"$tmp/$name/stderr") || status=$?
  echo "$status" >"$tmp/$name/status"
}
# same_as_a_walk: stamps again with nothing kept used; says whether stdout, stderr (its lines in
# any order: Git's commands run side by side), status and header are the run's own. The run's
# header stays.
same_as_a_walk() {
  local header=$tmp/${run_dir%/*}/applications/revision.h
  cp "$header" "$tmp/run.h" && stamp walk REVSTAMP_NO_CACHE=1
  cmp -s "$header" "$tmp/run.h" && cmp -s "$tmp/walk/stdout" "$out/stdout" &&
    [ "$(sort "$tmp/walk/stderr")" = "$(sort "$out/stderr")" ] && cmp -s "$tmp/walk/status" "$out/status" &&
    echo "as a walk stamps" || {
    echo "not as a walk stamps:" && diff -a "$tmp/walk/stdout" "$out/stdout"
    diff "$tmp/walk/stderr" "$out/stderr" && diff "$header" "$tmp/run.h"
  }
  cp "$tmp/run.h" "$header"
}
# stamps_as_a_walk [VAR=VALUE...]: stamps, with these variables too, then again with nothing kept
# used; says whether header, stdout and status are alike. The header it found stays.
stamps_as_a_walk() {
  local header=$tmp/${run_dir%/*}/applications/revision.h
  [ ! -f "$header" ] || cp "$header" "$tmp/before.h"
  stamp again "$@" && cp "$header" "$tmp/again.h" && stamp walk "$@" REVSTAMP_NO_CACHE=1
  cmp -s "$tmp/again.h" "$header" && cmp -s "$tmp/again/stdout" "$tmp/walk/stdout" &&
    cmp -s "$tmp/again/status" "$tmp/walk/status" && echo "as a walk stamps" || {
    echo "not as a walk stamps:" && diff "$tmp/again.h" "$header"
    diff "$tmp/again/status" "$tmp/walk/status"
  }
  [ ! -f "$tmp/before.h" ] || mv "$tmp/before.h" "$header"
}
# walks: whether a stamp now walks the history.
walks() {
  mkdir -p "$tmp/spy" && rm -f "$tmp/spy/log"
  printf '#!/bin/sh\n[ "$1" != rev-list ] || echo >>"%s/spy/log"\nexec "%s" "$@"\n' "$tmp" "$real_git" \
    >"$tmp/spy/git" && chmod +x "$tmp/spy/git"
  stamp spied PATH="$tmp/spy:$PATH"
  [ -e "$tmp/spy/log" ] && echo "walks" || echo "walks nothing"
}

args=()
wine_args=()
run_dir=repo/fw
tool_env=(PATH="$tmp/bin:$PATH")
limit_files=
limit_file_size=
tool_streams=
remove_run_dir=
fail_spawn=
wine_twice=
cd "$tmp"
exported=$(export -p | sort)
# shellcheck source=/dev/null
. "$case_file"
cd "$tmp"
[ $# -eq 0 ] || args=("$@")
[ ${#wine_args[@]} -gt 0 ] || wine_args=("${args[@]}")
mkdir "$out/win-tree"
[ ! -e "${run_dir%%/*}" ] || cp -a "${run_dir%%/*}" "$out/win-tree/"
# With the variables the case exported for the tool.
{
  declare -p run_dir wine_args wine_twice
  comm -13 <(echo "$exported") <(export -p | grep -v '^declare -x OLDPWD=' | sort)
} >"$out/wine.env"

# The Git the run finds first (git_recorder.c, GIT_RECORDER): logs each command line and keeps
# what it printed and its exit status in answers/, named by its words as the stand-in spells them,
# so that each rev-parse command, and each run of a split listing, gets its own answer.
cp "$GIT_RECORDER" "$tmp/bin/git"
printf '%s\n%s\n' "$real_git" "$out" >"$tmp/bin/git.recorder"
: >"$out/git.log"
set +e
(
  cd "$run_dir"
  [ -n "$remove_run_dir" ] && rmdir "$PWD"
  exec >"$out/stdout" 2>"$out/stderr" </dev/null
  # tool_streams: redirections of the case's own, such as a closed stderr.
  [ -z "$tool_streams" ] || eval "exec $tool_streams"
  # limit_file_size: in KiB; SIGXFSZ as a build has it, at its default.
  [ -n "$limit_file_size" ] && ulimit -f "$limit_file_size"
  # One descriptor left over: enough for the loader and the header, but not for a pipe's two.
  [ -n "$limit_files" ] && { exec 3>&-; ulimit -n 4; }
  # fail_spawn names the one Git command line that cannot be started, as git.log records it.
  [ -z "$fail_spawn" ] || tool_env+=(LD_PRELOAD="$FAIL_SPAWN_LIB" FAIL_SPAWN_COMMAND="$fail_spawn")
  # FAIL_CALL, from the test: the one library function that fails in the tool.
  [ -z "${FAIL_CALL:-}" ] || tool_env+=(LD_PRELOAD="$FAIL_SPAWN_LIB" FAIL_CALL="$FAIL_CALL")
  # TOOL_WRAPPER (a command and its options, such as valgrind) runs the tool.
  exec env "${tool_env[@]}" ${TOOL_WRAPPER:-} "$tool" "${args[@]}"
)
echo $? >"$out/status"
set -e
sort -o "$out/git.log" "$out/git.log"
# A case may check what the run left behind in an after function; what it prints is kept.
! declare -F after >/dev/null || (cd "$tmp" && after) >"$out/after" 2>&1
header=${run_dir%/*}/applications/revision.h
# Whatever happened, a run leaves nothing but the header in applications/.
if [ -d "${header%/*}" ]; then
  leftover=$(find "${header%/*}" -mindepth 1 -maxdepth 1 ! -name revision.h)
  [ -z "$leftover" ] || { echo "left behind: $leftover" >&2; exit 1; }
fi
# Nor a copy of the index, or a records file not yet in place, in any repository.
leftover=$(find "$tmp" \( -name '.*.revstamp-*' -o -name '.revstamp-cache.*' \) -print)
[ -z "$leftover" ] || { echo "left behind: $leftover" >&2; exit 1; }
[ ! -f "$header" ] || cp "$header" "$out/revision.h"
[ -z "${WINE_TOOL:-}" ] || "$(dirname "$0")/run_wine.sh" "$out" "$out"

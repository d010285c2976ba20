#!/usr/bin/env bash
# Stamps the same trees with each Git that build servers still run (built from ../shared/old-git
# by its build.sh, once, into a cache) and with this machine's Git: header and exit status must
# be equal. Prints a table of Git version, scenario and result; fails on any difference. With
# --build, only builds the Gits, so that the matrices of several tools can run side by side.
#   old_git.sh TOOL|--build [VERSION...]
set -euo pipefail
tool=$1
shift
versions=("${@:-1.8.3.1 2.11.0 2.17.0 2.20.1 2.25.1}")
read -ra versions <<<"${versions[*]}"
source_dir=$(cd "$(dirname "$0")/../../shared/old-git" 2>/dev/null && pwd) ||
  { echo "no ../shared/old-git beside the project: skipped"; exit 77; }
if [ "$tool" = --build ]; then
  for version in "${versions[@]}"; do sh "$source_dir/build.sh" "$version"; done
  exit 0
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export HOME=$tmp LC_ALL=C GIT_CONFIG_GLOBAL=/dev/null GIT_CONFIG_NOSYSTEM=1 GIT_AUTHOR_NAME=Dev
export GIT_AUTHOR_EMAIL=dev@example.com GIT_COMMITTER_NAME=Dev GIT_COMMITTER_EMAIL=dev@example.com
export GIT_AUTHOR_DATE="@1700000000 +0000" GIT_COMMITTER_DATE="@1700000000 +0000"
git_add_submodule() { git -c protocol.file.allow=always submodule add -q "$@"; }
commit() { mkdir -p "$(dirname "$1")" && echo "line $RANDOM" >>"$1" && git add -A && git commit -qm "$1"; }

# make_tree SCENARIO: builds the tree in $tmp/SCENARIO with this machine's Git; the tool runs in fw/.
make_tree() {
  local dir=$tmp/$1 n=0
  mkdir -p "$dir" && cd "$dir"
  git init -q -b main lib && (cd lib && commit lib.c && commit lib.c)
  git init -q -b main nest && (cd nest && commit nest.c && git_add_submodule ../lib deep &&
    git commit -qm deep)
  git init -q -b main repo && cd repo && mkdir -p applications fw && commit main.c && commit fw/x.c
  case $1 in
    modified) echo change >>main.c ;;
    new) echo new >new.c && git add new.c ;;
    deleted) rm main.c ;;
    renamed) git mv main.c moved.c ;;
    # A file changed in the second the index was written, its size and time as recorded, its
    # ctime not trusted: only the index's own time tells Git to look at its bytes.
    racy) git config core.trustctime false && printf aaaa >racy.c && touch -d @1700000000 racy.c &&
      git add racy.c && git commit -qm racy && printf bbbb >racy.c &&
      touch -d @1700000000 racy.c .git/index ;;
    shallow) cd .. && git clone -q --depth 1 "file://$dir/repo" clone && rm -rf repo &&
      mv clone repo && mkdir -p repo/applications ;;
    # A linked worktree of a shallow clone: Git 2.5 to 2.14 keep the shallow file in the common
    # directory.
    worktree) cd .. && git clone -q --depth 1 "file://$dir/repo" clone && rm -rf repo &&
      git -C clone worktree add -q ../repo -b linked && mkdir -p repo/applications ;;
    sub3 | sub4) for i in $(seq "${1#sub}"); do git_add_submodule ../lib "lib$i"; done &&
      git commit -qm subs ;;
    # A commit hook's build, in a tree the split listing would copy the index of.
    hook) for i in 1 2 3 4; do git_add_submodule ../lib "lib$i"; done && git commit -qm subs &&
      echo change >>main.c ;;
    sub12 | cold | newline | gitdir | relpath)
      [ "$1" != newline ] || mkdir $'f\nw'
      for name in 'with blank' 'star*' cold moved a b c d e f; do git_add_submodule ../lib "$name"; done
      git_add_submodule ../nest fw/nest &&
        git -c protocol.file.allow=always submodule update -q --init --recursive
      git commit -qm subs && git submodule deinit -q cold && (cd moved && git checkout -q HEAD~1) ;;
  esac
}

# stamp BIN SCENARIO ARG...: the header and the exit status, stamped with the Git in BIN from fw/,
# or for cold from inside an uninitialised submodule's folder, for newline from a folder whose
# name holds one, for gitdir with a relative GIT_DIR and GIT_WORK_TREE, and for relpath with BIN
# named relatively. For touched, after a file's time changed, also whether .git/index is the
# same file with the same time afterwards, and nothing was left beside it.
stamp() {
  local bin=$1 scenario=$2 dir=fw repo=$tmp/$2/repo index=
  shift 2
  if [ "$scenario" = touched ]; then
    touch -d @1700000100 "$repo/main.c"
    index=$(stat -c %i:%y "$repo/.git/index")
  fi
  local path=(PATH="$bin:$PATH")
  case $scenario in
    cold) dir=cold ;;
    newline) dir=$'f\nw' ;;
    gitdir) path+=(GIT_DIR=../.git GIT_WORK_TREE=..) ;;
    relpath) path=(PATH="$(realpath --relative-to="$repo/fw" "$bin"):$PATH") ;;
    # A commit hook's build: Git names the index relative to the top.
    hook) path+=(GIT_INDEX_FILE=.git/index) ;;
  esac
  rm -f "$repo/applications/revision.h"
  (cd "$repo/$dir" && env "${path[@]}" "$tool" "$@" >/dev/null 2>&1; echo "exit $?")
  cat "$repo/applications/revision.h" 2>/dev/null || true
  if [ -n "$index" ]; then
    [ "$(stat -c %i:%y "$repo/.git/index")" = "$index" ] || echo "index rewritten"
    ls -A "$repo/.git" | grep -v '^index$' | grep index || true
  fi
}

scenarios=(clean modified new deleted renamed touched racy shallow worktree sub0 sub3 sub4 sub12 cold
  newline gitdir relpath hook)
# The words a scenario stamps with: the targeted form where there are submodules.
words() { case $1 in sub* | cold | newline | gitdir | relpath | hook) echo x s ;; *) echo x ;; esac; }

declare -A expected
for scenario in "${scenarios[@]}"; do
  (make_tree "$scenario")
  # shellcheck disable=SC2046
  expected[$scenario]=$(stamp "$(dirname "$(command -v git)")" "$scenario" $(words "$scenario"))
done
failed=0
printf '%-9s' git; printf ' %-8s' "${scenarios[@]}"; echo
for version in "${versions[@]}"; do
  bin=$(sh "$source_dir/build.sh" "$version")
  printf '%-9s' "$version"
  for scenario in "${scenarios[@]}"; do
    # Git before 2.5 knows no linked worktrees.
    if [ "$scenario" = worktree ] && [[ $version == 1.* || $version == 2.[0-4].* ]]; then
      printf ' %-8s' n/a
    # shellcheck disable=SC2046
    elif [ "$(stamp "$bin" "$scenario" $(words "$scenario"))" = "${expected[$scenario]}" ]; then
      printf ' %-8s' same
    else
      printf ' %-8s' DIFFERS && failed=1
    fi
  done
  echo
done
exit $failed

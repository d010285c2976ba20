#!/usr/bin/env bash
# Runs a case's Windows build (WINE_TOOL) under Wine on the tree a Linux run of it kept, and
# leaves stdout, stderr, status and revision.h in OUT/win/.
#   run_wine.sh RUN OUT   (RUN: the OUT of run_case.sh; the two may be one)
set -euo pipefail
run=$1 out=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# run_dir, wine_args and wine_twice as the case set them, and what it exported.
# shellcheck source=/dev/null
. "$run/wine.env"
rm -rf "$out/win"
mkdir -p "$out/win"
cd "$tmp"
cp -a "$run/win-tree" win
header=${run_dir%/*}/applications/revision.h

# Git cannot run under Wine, so a stand-in git.exe (WINE_GIT) answers what the real one printed
# in the Linux run and exits as it did; with WINE_GIT_SCRIPT set, a git.cmd that calls it, as
# some installations put on PATH. It answers only the commands that ran, so a case without Git
# has no Git at all. A git.bat in the working directory, and a command interpreter (COMSPEC)
# that prints a line of its own, must not change a byte.
# WINE_GIT_FOLDER names the folder Git is installed in; WINE_GIT_SCRIPT=echo makes the git.cmd
# echo its command (no @), and by-name has it call the stand-in by name; launcher puts a git.exe
# there (WINE_HELPER) that hands its command line to cmd.exe for a git2.cmd, and ansi-launcher
# one that does so through the ANSI API, whose code page's best fit turns fullwidth ＆ into &;
# WINE_GIT_CRASH makes every command die of an access violation (0xC0000005) before it prints
# anything. Every command the Linux run did not start is listed in OUT/win/unanswered.
bin=win/${WINE_GIT_FOLDER:-bin}
mkdir -p "$bin"
words=$(cd "$run/git-out/answers" && ls | sed 's/\.[a-z]*$//' | sort -u)
for word in $words any; do
  [ "$word" = any ] || cp "$run/git-out/answers/$word.out" "$run/git-out/answers/$word.status" "$bin/"
  [ -z "${WINE_GIT_CRASH:-}" ] || { : >"$bin/$word.out" && echo 3221225477 >"$bin/$word.status"; }
done
if [ -n "$words" ] && { [ "${WINE_GIT_SCRIPT:-}" = launcher ] || [ "${WINE_GIT_SCRIPT:-}" = ansi-launcher ]; }; then
  cp "$WINE_GIT" "$bin/git-standin.exe"
  cp "$WINE_HELPER" "$bin/git.exe"
  printf '@"%%~dp0git-standin.exe" %%*\r\n' >"$bin/git2.cmd"
elif [ -n "$words" ] && [ -n "${WINE_GIT_SCRIPT:-}" ]; then
  cp "$WINE_GIT" "$bin/git-standin.exe"
  at=@ && [ "$WINE_GIT_SCRIPT" != echo ] || at=
  stand_in='"%~dp0git-standin.exe"'
  # Wine's cmd.exe expands each %NAME% in what %~dp0 gives (Windows' does not): by-name finds the
  # stand-in on PATH instead, for folders named so.
  [ "$WINE_GIT_SCRIPT" != by-name ] || stand_in=git-standin.exe
  printf '%s%s %%*\r\n' "$at" "$stand_in" >"$bin/git.cmd"
  # A batch Git is never split: what only a split asks (the index listing, the index's path) has
  # no answer, so that asking it fails the case.
  rm -f "$bin"/ls-files-s-z--top.* "$bin"/rev-parse--git-pathindex.*
elif [ -n "$words" ]; then
  cp "$WINE_GIT" "$bin/git.exe"
fi
# WINE_GIT_VERSION: the version the stand-in says, for a case whose Linux run gave its own.
[ -z "$words" ] || [ -z "${WINE_GIT_VERSION:-}" ] ||
  { echo "git version $WINE_GIT_VERSION" >"$bin/version.out" && echo 0 >"$bin/version.status"; }
cp "$WINE_GIT" win/comspec.exe
[ ! -d "win/$run_dir" ] || printf '@echo 0123456789abcdef0123456789abcdef01234567\r\n' >"win/$run_dir/git.bat"
(
  cd "win/$run_dir"
  # A UTF-8 locale, so that Wine passes a folder name beyond ASCII on as it is.
  export LC_ALL=C.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
  export WINEPATH="Z:${tmp//\//\\}\\${bin//\//\\}"
  # WINE_PATH_QUOTED: Git's folder quoted on PATH, as a folder holding a ';' must be there.
  [ -z "${WINE_PATH_QUOTED:-}" ] || WINEPATH="\"$WINEPATH\""
  # WINE_PATH_RELATIVE: Git's folder as a PATH entry relative to here, where the tool starts.
  [ -z "${WINE_PATH_RELATIVE:-}" ] || { WINEPATH=$(realpath -m --relative-to=. "$tmp/$bin") &&
    WINEPATH=${WINEPATH//\//\\}; }

  export COMSPEC="Z:${tmp//\//\\}\\win\\comspec.exe"
  [ "${WINE_GIT_SCRIPT:-}" != ansi-launcher ] || export WINE_LAUNCHER_ANSI=1
  # Without address randomisation: Wine maps its shared user data at a fixed address, and a child
  # process (Git) whose randomised layout already holds that address dies at start, about once in
  # a thousand runs, so that the tool reports a Git that failed to start.
  # wine_twice: the Windows build stamps once, its listing's answer is taken away, and the second
  # stamp's results are kept: only a listing the first one kept can make it right.
  if [ -n "$wine_twice" ]; then
    setarch -R wine "$WINE_TOOL" "${wine_args[@]}" >/dev/null 2>&1 </dev/null
    rm "$tmp/$bin"/rev-listHEAD--*.out
  fi
  # WINE_PATHEXT: the endings Windows tries, which Wine takes from its registry alone, so that
  # cmd.exe sets them for the tool; WINE_PATH_NAME=Path: the search path's variable spelled as
  # Windows spells it, where Wine spells it PATH.
  settings=
  [ -z "${WINE_PATHEXT:-}" ] || settings="set PATHEXT=$WINE_PATHEXT&& "
  [ -z "${WINE_PATH_NAME:-}" ] ||
    settings+="set PATH=&& set $WINE_PATH_NAME=$WINEPATH;C:\\windows\\system32&& "
  tool=("$WINE_TOOL" "${wine_args[@]}")
  [ -z "$settings" ] || tool=(cmd /c "$settings$(winepath -w "$WINE_TOOL") ${wine_args[*]}")
  exec setarch -R wine "${tool[@]}" >"$out/win/stdout" 2>"$out/win/stderr" </dev/null
) && echo 0 >"$out/win/status" || echo $? >"$out/win/status"
[ ! -f "win/$header" ] || cp "win/$header" "$out/win/revision.h"
cat "$bin/unanswered" win/unanswered >"$out/win/unanswered" 2>/dev/null || true
# A name that a command interpreter ran as a command made a folder of this name.
find win -name 'PWNED*' | sed 's/^/a name ran as a command: made /' >>"$out/win/unanswered"

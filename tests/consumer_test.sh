#!/usr/bin/env bash
# Builds tests/consumer, firmware that takes revstamp in, as a fresh one-commit Git repository:
#   consumer_test.sh package BUILD_DIR   find_package against a cmake --install of BUILD_DIR
#   consumer_test.sh tarball BUILD_DIR   find_package against BUILD_DIR's .tar.gz unpacked, on a
#                                        server whose C library bin/revstamp cannot start with
#   consumer_test.sh source              FetchContent of this source tree (the modes below that
#                                        try the helper itself take the installed one)
#   consumer_test.sh cross BUILD_DIR     the same, cross-compiled with arm-none-eabi-gcc, stamping
#                                        with BUILD_DIR's revstamp (REVSTAMP_HOST_EXECUTABLE)
#   consumer_test.sh cross-env           the same, with the toolchain and CC, CXX and their
#                                        flags exported, as SDK set-up scripts do, and revstamp
#                                        built for this machine by the host compiler
#   consumer_test.sh symlink             stamped from a board's fw/, a link to the shared one
#   consumer_test.sh hash-path           a '#' in the project's path must stop configure
#   consumer_test.sh header-keyword      HEADER names a header in a new folder of the build tree
#   consumer_test.sh name-clash          the project has a target named revstamp of its own
#   consumer_test.sh strict              FetchContent under clang++ and a project's strict
#                                        warning flags with -Werror
#   consumer_test.sh misuse              a missing WORKING_DIRECTORY must stop configure
#   consumer_test.sh two-stamps-ninja    a bootloader stamped from the same directory, in the
#   consumer_test.sh two-stamps-make       same form, built with Ninja or Unix Makefiles -j8
#   consumer_test.sh two-forms           a bootloader stamped in the other form must stop configure
#   consumer_test.sh if-changed-ninja    EXTRA_MACROS and IF_CHANGED, built with Ninja or Unix
#   consumer_test.sh if-changed-make       Makefiles: a rebuild without a change compiles nothing
#   consumer_test.sh make BUILD_DIR      the GNU Make recipe of docs/integration.md, make -j8, and
#   consumer_test.sh make-j1 BUILD_DIR     make -j1, where a step that preprocesses main.c first
#                                        runs before the compile; a build with nothing new
#                                        runs the stamp alone
#   consumer_test.sh meson BUILD_DIR     the Meson and SCons recipes; each must also stop in a
#   consumer_test.sh scons BUILD_DIR       shallow clone (Meson with IF_CHANGED, as above)
# package, make, meson and scons also build a source drop of the firmware twice.
#   consumer_test.sh reproducible BUILD_DIR  the example firmware compiled twice, with and
#                                        without SOURCE_DATE_EPOCH
# Checks that the stamp ran once before the firmware compiled, and ran again on a second build.
set -euo pipefail
mode=$1
source_dir=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export HOME=$tmp LC_ALL=C GIT_CONFIG_GLOBAL=/dev/null GIT_CONFIG_NOSYSTEM=1
export GIT_AUTHOR_NAME=Dev GIT_AUTHOR_EMAIL=dev@example.com GIT_AUTHOR_DATE="@1700000000 +0000"
export GIT_COMMITTER_NAME=Dev GIT_COMMITTER_EMAIL=dev@example.com
export GIT_COMMITTER_DATE="@1700000000 +0000"
fail() { echo "FAIL: $*" >&2; exit 1; }
machine() { readelf -h "$1" | sed -n 's/^ *Machine: *//p'; }
# refused TEXT ARG...: configure with ARGs must fail and say TEXT.
refused() {
  local text=$1
  shift
  if "${configure[@]}" "$@" >"$tmp/log" 2>&1; then fail "configure passed with $*"; fi
  # CMake wraps long messages: read the log as one line.
  said=$(tr -s ' \n' '  ' <"$tmp/log")
  [[ $said == *"$text"* ]] || { cat "$tmp/log"; fail "configure did not say what to fix"; }
  echo "configure stopped: ${said#*CMake Error at }"
  exit 0
}

project=tests/consumer
[ "$mode" != reproducible ] || project=example
repo=$tmp/repo
[ "$mode" != hash-path ] || repo="$tmp/board#2"
cp -r "$source_dir/$project" "$repo"
git -C "$repo" init -q -b main
git -C "$repo" add -A
git -C "$repo" commit -q -m firmware
configure=(cmake -S "$repo" -B "$tmp/build")
header=$repo/applications/revision.h
# What a build's log shows once per stamp: CMake's comment, or the command make and SCons echo.
stamped="Stamping Git's revision into $header"
# installed: find_package against a cmake --install of BUILD_DIR. The modes that try the helper
# rather than how revstamp is taken in use it, as building revstamp again for each would cost
# them most of their time.
installed=(-DCMAKE_PREFIX_PATH="$tmp/prefix")
case $mode in
  package | symlink | hash-path | header-keyword | misuse | two-* | if-changed-*) cmake --install "$2" --prefix "$tmp/prefix" >/dev/null ;;
esac
case $mode in
  package)
    configure+=("${installed[@]}")
    # The README's uninstall: the files, then the folders it names; what stays is shared.
    cmake --install "$2" --prefix "$tmp/uninstall" >/dev/null
    find "$tmp/uninstall" ! -type d -delete
    (cd "$tmp/uninstall" && rmdir share/doc/revstamp/docs share/doc/revstamp lib/cmake/revstamp)
    left=$(cd "$tmp/uninstall" && find . -mindepth 1 | sort | tr '\n' ' ')
    [ "$left" = "./bin ./lib ./lib/cmake ./share ./share/doc ./share/man ./share/man/man1 " ] ||
      fail "an uninstall leaves $left"
    ;;
  tarball)
    [ -x "$2/revstamp-static" ] || { echo "skipped: this build has no revstamp-static"; exit 77; }
    cpack -G TGZ --config "$2/CPackConfig.cmake" -B "$tmp/cpack" >/dev/null
    tar -xzf "$tmp"/cpack/revstamp-*.tar.gz -C "$tmp"
    unpacked=$(echo "$tmp"/revstamp-*-Linux)
    # As on CentOS 7: the dynamically linked binary cannot start.
    printf '#!/bin/sh\necho "bin/revstamp: version GLIBC_2.34 not found" >&2\nexit 1\n' \
      >"$unpacked/bin/revstamp"
    configure+=(-DCMAKE_PREFIX_PATH="$unpacked")
    ;;
  source) configure+=(-DREVSTAMP_SOURCE="$source_dir") ;;
  strict)
    strict="-Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow -Wold-style-cast"
    configure+=(-DREVSTAMP_SOURCE="$source_dir" -DCMAKE_CXX_COMPILER=clang++
      "-DCMAKE_CXX_FLAGS=$strict -Wundef -Werror")
    ;;
  cross)
    configure+=(-DREVSTAMP_SOURCE="$source_dir" --toolchain "$repo/arm-none-eabi.cmake"
      -DREVSTAMP_HOST_EXECUTABLE="$2/revstamp")
    ;;
  cross-env)
    export CMAKE_TOOLCHAIN_FILE=$repo/arm-none-eabi.cmake CC=arm-none-eabi-gcc
    export CXX=arm-none-eabi-g++ CFLAGS=-mthumb CXXFLAGS=-mthumb LDFLAGS=-mthumb
    configure+=(-DREVSTAMP_SOURCE="$source_dir" -DREVSTAMP_HOST_CXX_COMPILER=clang++)
    ;;
  symlink)
    # The board's own applications/ holds a stale header the stamp must not be taken for.
    mkdir -p "$repo/boards/a/applications"
    ln -s ../../fw "$repo/boards/a/fw"
    configure+=("${installed[@]}" -DSTAMP_DIR=boards/a/fw)
    ;;
  hash-path)
    refused "$repo/applications/revision.h holds a '#'" "${installed[@]}"
    ;;
  header-keyword)
    header="$tmp/build/gen dir/revision.h" stamped="Stamping Git's revision into $tmp/build/gen dir/revision.h"
    configure+=("${installed[@]}" "-DSTAMP_OPTIONS=HEADER;gen dir/revision.h" "-DSTAMP_INCLUDE=${header%/*}")
    ;;
  name-clash) configure+=(-DREVSTAMP_SOURCE="$source_dir" -DOLD_STAMP_TARGET=ON) ;;
  meson | scons)
    # ctest counts 77 as skipped.
    command -v "$mode" >/dev/null || { echo "skipped: $mode is not installed"; exit 77; }
    export PATH=$2:$PATH && stamped="revstamp fw s"
    [ "$mode" = scons ] || header=$repo/build/revision.h
    # The Meson recipe also with the variables its IF_CHANGED variant adds.
    [ "$mode" = scons ] || export REVSTAMP_EXTRA_MACROS=1 REVSTAMP_IF_CHANGED=1
    ;;
  misuse)
    refused "WORKING_DIRECTORY $tmp/repo/nowhere does not exist" "${installed[@]}" -DSTAMP_DIR=nowhere
    ;;
  two-forms)
    refused "is already stamped in the targeted form for firmware; this call asks for the plain form" \
      "${installed[@]}" -DSECOND_FORM=plain
    ;;
  two-stamps-ninja) configure+=("${installed[@]}" -DSECOND_FORM=targeted -G Ninja) ;;
  two-stamps-make) configure+=("${installed[@]}" -DSECOND_FORM=targeted -G "Unix Makefiles") ;;
  if-changed-ninja | if-changed-make)
    generator=Ninja && [ "$mode" = if-changed-ninja ] || generator="Unix Makefiles"
    configure+=("${installed[@]}" "-DSTAMP_OPTIONS=EXTRA_MACROS;IF_CHANGED" -G "$generator")
    ;;
  make | make-j1) object=$repo/firmware.o stamped="revstamp fw s" ;;
  reproducible)
    (cd "$repo/firmware" && "$2/revstamp" fw s >/dev/null)
    # compile NAME: the example firmware's object, as a build would make it.
    compile() { cc -c -o "$tmp/$1.o" "$repo/applications/main.c"; }
    export SOURCE_DATE_EPOCH
    SOURCE_DATE_EPOCH=$(git -C "$repo" log -1 --format=%ct)
    compile first && sleep 2 && compile second
    cmp -s "$tmp/first.o" "$tmp/second.o" || fail "objects differ with SOURCE_DATE_EPOCH"
    unset SOURCE_DATE_EPOCH
    compile third && sleep 2 && compile fourth
    ! cmp -s "$tmp/third.o" "$tmp/fourth.o" || fail "objects equal without SOURCE_DATE_EPOCH"
    echo "reproducible: identical objects with SOURCE_DATE_EPOCH, different ones without"
    exit 0
    ;;
esac
# build_tree TREE: builds the firmware in TREE, as in parallel as it goes, with GNU Make, Meson,
# SCons or CMake.
build_tree() {
  case $mode in
    make) make -C "$1" --no-print-directory -j8 REVSTAMP="$build_dir/revstamp" ;;
    make-j1) make -C "$1" --no-print-directory -j1 REVSTAMP="$build_dir/revstamp" ;;
    meson) { [ -d "$1/build" ] || meson setup "$1/build" "$1"; } && meson compile -v -C "$1/build" ;;
    scons) scons -C "$1" -j8 ;;
    *) cmake --build "${2:-$tmp/build}" --parallel 8 ;;
  esac >"$tmp/log" 2>&1
}
# build WHAT: builds the firmware; WHAT names the build in a failure.
build() { build_tree "$repo" || { cat "$tmp/log"; fail "$1"; }; }
build_dir=${2:-}
case $mode in
  make* | meson | scons) ;;
  *) "${configure[@]}" >"$tmp/log" 2>&1 || { cat "$tmp/log"; fail "configure"; } ;;
esac

[ ! -e "$header" ] || fail "a header before the first build"
build "first build"
stamps=$(grep -cF "$stamped" "$tmp/log" || true)
[ "$stamps" = 1 ] || { cat "$tmp/log"; fail "stamped $stamps times in one build"; }
case $mode in
  make*) ;;
  meson) object=$(find "$repo/build" -name '*main.c.o') ;;
  scons) object=$repo/firmware.o ;;
  *) object=$(find "$tmp/build" -path '*firmware.dir*' \( -name main.c.o -o -name main.c.obj \)) ;;
esac
[ -f "$object" ] || fail "no firmware object"
if [[ $mode == two-stamps-* ]]; then
  [ -n "$(find "$tmp/build" -path '*bootloader.dir*' -name 'main.c.o*')" ] || fail "no bootloader object"
fi
grep -q '^#define      FIRMWARE_VER_REV 1$' "$header" || fail "header: $(cat "$header")"
grep -q 'FIRMWARE_VER_MULTI "\\0"$' "$header" || fail "not stamped clean: $(cat "$header")"

# Which revstamp ran, and what the firmware was compiled for.
case $mode in
  header-keyword) [ ! -e "$repo/applications/revision.h" ] || fail "the default header was written" ;;
  package) grep -rqF "$tmp/prefix/bin/revstamp" "$tmp/build" || fail "not the installed revstamp" ;;
  tarball)
    grep -rqF "$unpacked/bin/revstamp-static" "$tmp/build" || fail "not the tarball's revstamp-static"
    ! objdump -T "$unpacked/bin/revstamp-static" | grep GLIBC_ || fail "revstamp-static needs the C library"
    ;;
  source | name-clash)
    [ -x "$tmp/build/_deps/revstamp-build/revstamp" ] || fail "not the fetched revstamp"
    # Taken in, revstamp brings neither its tests (and their GoogleTest) nor its demo.
    ! grep -qE 'revstamp_(tests|demo)' "$tmp/build/Makefile" || fail "tests or demo came along"
    ;;
  cross)
    [ "$(machine "$object")" = ARM ] || fail "firmware not compiled for ARM: $(machine "$object")"
    [ ! -e "$tmp/build/_deps/revstamp-build/host" ] || fail "a host build beside REVSTAMP_HOST_EXECUTABLE"
    grep -rqF "$2/revstamp" "$tmp/build" || fail "not the revstamp REVSTAMP_HOST_EXECUTABLE names"
    ;;
  cross-env)
    host_tool=$tmp/build/_deps/revstamp-build/host/bin/revstamp
    [ "$(machine "$host_tool")" = "$(machine "$(command -v cmake)")" ] || fail "revstamp not built for this machine"
    [ "$(machine "$object")" = ARM ] || fail "firmware not compiled for ARM: $(machine "$object")"
    grep -q '^CMAKE_CXX_COMPILER:.*clang++$' "${host_tool%/bin/*}/CMakeCache.txt" ||
      fail "the host compiler asked for was not used"
    ;;
esac

# SCons, which compares contents, compiles nothing again without IF_CHANGED.
if [[ $mode == if-changed-* || $mode == meson || $mode == scons ]]; then
  [ "$mode" = scons ] || grep -q '^#define FIRMWARE_VER_VALID 1$' "$header" || fail "no extra macros: $(cat "$header")"
  compiled=$(stat -c %y "$object") && stamp=$(stat -c '%i %y' "$header")
  sleep 1
  build "rebuild without a change"
  grep -qF "$stamped" "$tmp/log" || fail "no stamp on the rebuild"
  [ "$mode" = scons ] || [ "$(stat -c '%i %y' "$header")" = "$stamp" ] || fail "unchanged header replaced"
  [ "$(stat -c %y "$object")" = "$compiled" ] || { cat "$tmp/log"; fail "firmware compiled again"; }
  echo "$mode: a rebuild without a change stamped and compiled nothing"
fi

# GNU Make: a build with nothing new runs the stamp alone; after a commit, only what includes the
# header compiles again.
if [[ $mode == make* ]]; then
  made_at() { stat -c '%n %y' "$repo/firmware.o" "$repo/firmware.i" "$repo/board.o"; }
  before=$(made_at)
  sleep 1
  build "build with nothing new"
  [ "$(cat "$tmp/log")" = "cd fw && REVSTAMP_QUIET=1 REVSTAMP_IF_CHANGED=1 $build_dir/revstamp fw s" ] ||
    { cat "$tmp/log"; fail "a build with nothing new ran more than the stamp"; }
  [ "$(made_at)" = "$before" ] || fail "a build with nothing new made something"
  git -C "$repo" commit -q --allow-empty -m "new commit"
  build "build after a commit"
  grep -q '^#define      FIRMWARE_VER_REV 2$' "$header" || fail "not stamped after a commit: $(cat "$header")"
  after=$(made_at)
  [ "$(sed -n 1p <<<"$after")" != "$(sed -n 1p <<<"$before")" ] || fail "firmware.o not compiled after a commit"
  [ "$(sed 1d <<<"$after")" = "$(sed 1d <<<"$before")" ] || fail "more than firmware.o made after a commit"
  echo "$mode: a build with nothing new ran only the stamp; after a commit only firmware.o compiled"
fi

# A second build takes the stamp again: the tree is now modified, and the firmware follows.
echo change >>"$repo/fw/.keep"
compiled=$(stat -c %y "$object")
sleep 1
build "second build"
grep -q 'FIRMWARE_VER_MULTI "M"$' "$header" || fail "second build did not stamp: $(cat "$header")"
[ "$(stat -c %y "$object")" != "$compiled" ] || fail "firmware not compiled again"
if [ "$mode" = meson ] || [ "$mode" = scons ]; then
  git clone -q --depth 1 "file://$repo" "$tmp/shallow"
  ! build_tree "$tmp/shallow" || { cat "$tmp/log"; fail "built in a shallow clone"; }
  grep -q "^error: shallow clone" "$tmp/log" || { cat "$tmp/log"; fail "stopped, but not by the stamp"; }
  echo "$mode: a shallow clone stops the build"
fi

# A source drop: the tree as git archive gives it, with the stamped header added where the
# build finds it. Built twice as its users would, keeping the stamp it ships, where a
# placeholder would fail.
if [[ $mode == @(package|make|scons|meson) ]]; then
  drop=$tmp/drop
  git -C "$repo" archive --prefix=drop/ HEAD | tar -x -C "$tmp"
  cp "$header" "$drop/applications/revision.h"
  [ "$mode" != package ] || cmake -S "$drop" -B "$tmp/drop-build" "${installed[@]}" >"$tmp/log" 2>&1
  for build in first second; do
    REVSTAMP_KEEP_STAMP=1 REVSTAMP_REQUIRE_HISTORY=1 build_tree "$drop" "$tmp/drop-build" ||
      { cat "$tmp/log"; fail "$build build of a source drop"; }
    read_by_build=$drop/applications/revision.h && [ "$mode" != meson ] || read_by_build=$drop/build/revision.h
    cmp -s "$read_by_build" "$header" || fail "$build build of a source drop lost its stamp"
  done
  echo "$mode: a source drop built twice keeps the stamp it ships"
fi
echo "$mode: stamped before the firmware compiled ($(machine "$object")), and again on the second build"

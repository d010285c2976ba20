# Sourced by `bench/run recipes`: times a build that has nothing new to do with each recipe of
# docs/integration.md, against the same build with the stamp taken out, in a 30,000-commit,
# 3,000-file repository whose top is tests/consumer. Prints a Markdown table. Each build has a
# copy of its own, as the recipes' headers would otherwise be read by each other's builds.
base=$work/recipes
export PATH=$work/build:$PATH
if [ ! -e "$base/.git/recipes-made" ]; then
  with_files 30000 0 "$base"
  cp -r tests/consumer/. "$base/"
  # Build output stays out of git status, as in a firmware team's .gitignore.
  printf '%s\n' build/ '*.o' '*.i' .sconsign.dblite >>"$base/.git/info/exclude"
  git -C "$base" add -A && git -C "$base" commit -q -m firmware
  touch "$base/.git/recipes-made"
fi
cmake --install "$work/build" --prefix "$work/prefix" >/dev/null
(cd "$base/fw" && "$tool" fw s >/dev/null)

# copy NAME: a fresh copy of the repository for one build; echoes its path.
copy() { rm -rf "$work/recipes-$1" && cp -a "$base" "$work/recipes-$1" && echo "$work/recipes-$1"; }
# without NAME: the same firmware without the stamp, its header stamped once; echoes its path.
without() {
  local dir=$work/recipes-$1-without
  rm -rf "$dir" && mkdir -p "$dir" && cp -r "$base/applications" "$dir/" && echo "$dir"
}

# Each build from clean once, so that the timed ones have nothing new to do.
make_dir=$(copy make) && make_plain=$(without make)
sed '/^# Runs on every build/,$d' tests/consumer/Makefile >"$make_plain/Makefile"
cmake_dir=$(copy cmake) && cmake_changed_dir=$(copy cmake-if-changed) && cmake_plain=$(without cmake)
cmake -S "$cmake_dir" -B "$cmake_dir/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DSTAMP_OPTIONS=QUIET >/dev/null
cmake -S "$cmake_changed_dir" -B "$cmake_changed_dir/build" -G Ninja \
  -DCMAKE_PREFIX_PATH="$work/prefix" "-DSTAMP_OPTIONS=QUIET;IF_CHANGED" >/dev/null
printf 'cmake_minimum_required(VERSION 3.21)\nproject(consumer LANGUAGES C)\nadd_library(firmware OBJECT applications/main.c)\n' \
  >"$cmake_plain/CMakeLists.txt"
cmake -S "$cmake_plain" -B "$cmake_plain/build" -G Ninja >/dev/null
# Meson's recipe writes into the build directory: a header in applications/ would shadow it.
meson_dir=$(copy meson) && meson_changed_dir=$(copy meson-if-changed) && meson_plain=$(without meson)
rm "$meson_dir/applications/revision.h" "$meson_changed_dir/applications/revision.h"
printf "project('firmware', 'c')\nstatic_library('firmware', 'applications/main.c')\n" >"$meson_plain/meson.build"
for dir in "$meson_dir" "$meson_changed_dir" "$meson_plain"; do meson setup "$dir/build" "$dir" >/dev/null; done
scons_dir=$(copy scons) && scons_plain=$(without scons)
printf "import os\nenv = Environment(ENV=os.environ.copy())\nenv.Object('firmware.o', 'applications/main.c')\n" \
  >"$scons_plain/SConstruct"

cd "$base/fw"
json=$work/recipes.json
hyperfine -N --warmup 3 --runs 15 --style none --export-json "$json" \
  -n "stamp alone" "env REVSTAMP_QUIET=1 REVSTAMP_IF_CHANGED=1 $tool fw s" \
  -n "GNU Make" "make -C $make_dir --no-print-directory REVSTAMP=$tool" \
  -n "GNU Make without" "make -C $make_plain --no-print-directory" \
  -n "CMake, Ninja" "cmake --build $cmake_dir/build" \
  -n "CMake, Ninja, IF_CHANGED" "cmake --build $cmake_changed_dir/build" \
  -n "CMake, Ninja without" "cmake --build $cmake_plain/build" \
  -n "Meson" "meson compile -C $meson_dir/build" \
  -n "Meson, IF_CHANGED" "env REVSTAMP_IF_CHANGED=1 meson compile -C $meson_changed_dir/build" \
  -n "Meson without" "meson compile -C $meson_plain/build" \
  -n "SCons" "scons -Q -C $scons_dir" \
  -n "SCons without" "scons -Q -C $scons_plain" >/dev/null
cd "$root"
python3 - "$json" <<'PY'
import json, sys
times = {r["command"]: r["mean"] * 1000 for r in json.load(open(sys.argv[1]))["results"]}
print(f"The stamp alone: {times['stamp alone']:.0f} ms.\n")
print("| build with nothing new | without a stamp | with the stamp | ratio |")
print("|---|---:|---:|---:|")
for name in ["GNU Make", "CMake, Ninja", "CMake, Ninja, IF_CHANGED", "Meson", "Meson, IF_CHANGED", "SCons"]:
    without = times[name.replace(", IF_CHANGED", "") + " without"]
    print(f"| {name} | {without:.0f} ms | {times[name]:.0f} ms | {times[name] / without:.2f} |")
PY

# Where an old Git lists at the top, each path is written as this Git writes it from here: from
# an uninitialised submodule's folder (./) and below it (../), from a folder whose name holds a
# line end, with a relative GIT_DIR and GIT_WORK_TREE, and with Git found through a relative PATH
# entry. after stamps each way with the old Git (a stand-in that says 2.17.0) and with this one.
posix_only="a Git stand-in script"
new_project_with_lib lib cold
git submodule deinit -q cold
mkdir -p cold/deeper cold/applications $'f\nw'
args=(x s)
mkdir "$tmp/old"
printf '#!/bin/sh\n[ "$1" != version ] || { echo "git version 2.17.0"; exit; }\nexec "%s" "$@"\n' \
  "$tmp/bin/git" >"$tmp/old/git"
chmod +x "$tmp/old/git"
tool_env=(PATH="$tmp/old:$tmp/bin:$PATH")
# both NAME RUN_DIR OLD_PATH [VAR=VALUE...]: whether the old Git's block is this one's, there.
both() {
  local name=$1 block=/FIRMWARE_SUBMODULE_REV/,/^\"$/p header=${2%/*}/applications/revision.h
  run_dir=$2 && tool_env=(PATH="$3") && shift 3
  stamp old "$@" && sed -n "$block" "$header" >old.block
  tool_env=(PATH="$PATH") && stamp new "$@" && sed -n "$block" "$header" >new.block
  if [ "$(cat old/status)" = 0 ] && cmp -s old.block new.block && grep -q '\.\./lib' new.block; then
    echo "$name: the same"
  else
    echo "$name: not the same" && { diff old.block new.block || cat old/stderr; }
  fi
}
after() {
  both "an uninitialised submodule's folder" repo/cold "$tmp/old:$PATH"
  both "below it" repo/cold/deeper "$tmp/old:$PATH"
  both "a line end in the folder's name" $'repo/f\nw' "$tmp/old:$PATH"
  both "a relative GIT_DIR and GIT_WORK_TREE" repo/fw "$tmp/old:$PATH" GIT_DIR=../.git GIT_WORK_TREE=..
  both "Git through a relative PATH entry" repo/fw "../../old:$PATH"
}

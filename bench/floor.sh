#!/bin/sh
# A floor: Git's commands for one stamp, one after another, their output read and thrown away.
#   floor.sh one [s]   rev-list once, the shallow probe, then status: what revstamp starts
#   floor.sh two [s]   rev-list twice, then status: the two-pass design revstamp had before
# A second argument starting with 's' adds the submodule listing, as it does for revstamp.
git rev-list HEAD | cat >/dev/null
if [ "$1" = one ]; then
  git rev-parse --is-shallow-repository | cat >/dev/null
  git -c color.status=never status --long --no-column | cat >/dev/null
else
  git rev-list HEAD | cat >/dev/null
  git status | cat >/dev/null
fi
case "${2:-}" in s*) git submodule status --recursive | cat >/dev/null ;; esac

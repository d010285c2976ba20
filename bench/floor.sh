#!/bin/sh
# A floor: Git's commands for one stamp, one after another, their output read and thrown away.
#   floor.sh one [s]   rev-list once, then status: what revstamp starts
#   floor.sh two [s]   rev-list twice, then status: the two-pass design revstamp had before
# A second argument starting with 's' adds the submodule listing, as it does for revstamp.
git rev-list HEAD | cat >/dev/null
[ "$1" = one ] || git rev-list HEAD | cat >/dev/null
git status | cat >/dev/null
case "${2:-}" in s*) git submodule status --recursive | cat >/dev/null ;; esac

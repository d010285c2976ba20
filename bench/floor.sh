#!/bin/sh
# A floor: Git's commands for one stamp with nothing around them, their output thrown away.
#   floor.sh one [s]        one after another: the history once, the shallow probe, the status
#   floor.sh two [s]        one after another, the history twice: the two-pass design of old
#   floor.sh parallel [s]   the commands of "one" started together, as revstamp starts them
#   floor.sh hit [s]        what a stamp needs when HEAD has a kept listing, started together:
#                           the shallow probe, git rev-parse HEAD and the status
#   floor.sh listing        the status and the submodule listing started together: the two a
#                           repeat targeted stamp cannot do without
# A second argument starting with 's' adds the submodule listing, as it does for revstamp.
targeted=false
case "${2:-}" in s*) targeted=true ;; esac
if [ "$1" = hit ]; then
  git rev-parse --is-shallow-repository >/dev/null &
  git rev-parse HEAD >/dev/null &
  git -c color.status=never status --long --no-column >/dev/null &
  ! $targeted || git submodule status --recursive >/dev/null &
  wait
  exit 0
fi
if [ "$1" = listing ]; then
  git -c color.status=never status --long --no-column >/dev/null &
  git submodule status --recursive >/dev/null &
  wait
  exit 0
fi
if [ "$1" = parallel ]; then
  git rev-parse --is-shallow-repository >/dev/null &
  git rev-list HEAD -- >/dev/null &
  git -c color.status=never status --long --no-column >/dev/null &
  ! $targeted || git submodule status --recursive >/dev/null &
  wait
  exit 0
fi
git rev-list HEAD -- | cat >/dev/null
if [ "$1" = one ]; then
  git rev-parse --is-shallow-repository | cat >/dev/null
  git -c color.status=never status --long --no-column | cat >/dev/null
else
  git rev-list HEAD | cat >/dev/null
  git status | cat >/dev/null
fi
! $targeted || git submodule status --recursive | cat >/dev/null

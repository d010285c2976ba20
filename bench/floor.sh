#!/bin/sh
# The floor: the Git commands revstamp runs, one after another, their output read and thrown
# away. A second argument starting with 's' adds the submodule listing, as it does for revstamp.
git rev-list HEAD | cat >/dev/null
git rev-list HEAD | cat >/dev/null
git status | cat >/dev/null
case "${2:-}" in s*) git submodule status --recursive | cat >/dev/null ;; esac

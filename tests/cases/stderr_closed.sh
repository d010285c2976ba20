# Started with stderr closed, as some IDE runners start tools, the tool keeps Git's complaints
# out of the header: here git submodule status complains about an unmapped submodule.
posix_only="the tool's standard streams redirected"
. "${case_file%/*}/submodule_unmapped.sh"
tool_streams='2>&-'
after() {
  cp repo/applications/revision.h closed.h
  (cd repo/fw && "$tool" x s >/dev/null 2>&1) || :
  cmp -s closed.h repo/applications/revision.h && echo "same header as with stderr open" ||
    { echo "header with stderr closed:"; cat closed.h; }
}

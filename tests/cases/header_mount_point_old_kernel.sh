# The bind-mounted header on a kernel before 5.8 (CentOS 7, Ubuntu 18.04), whose statx gives no
# mount id (here statx fails outright): still written in place at once, with no warning.
posix_only="mount namespaces, strace"
. "${case_file%/*}/header_mount_point.sh"
command -v strace >/dev/null || echo "no strace to make statx fail" >"$out/skip"
TOOL_WRAPPER="$TOOL_WRAPPER strace -f -o /dev/null -e inject=statx:error=ENOSYS"
# LeakSanitizer cannot run under ptrace.
tool_env+=(ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0")

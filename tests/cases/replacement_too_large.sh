# The new header cannot be written in full: the previous one stays as it was, nothing is left
# beside it, and the run says so. The header outgrows the limit; a coverage build's counters,
# under 2 KiB a file, do not.
posix_only="resource limits"
new_project_with_lib
echo '/* previous */' >applications/revision.h
args=(x s)
limit_file_size=3
cd "$tmp"
mkdir many
cat >many/git <<GIT
#!/bin/sh
[ "\$1" = submodule ] || exec "$tmp/bin/git" "\$@"
"$tmp/bin/git" "\$@"
seq 60 | sed 's|.*| 0123456789012345678901234567890123456789 many/& (heads/main)|'
GIT
chmod +x many/git
tool_env=(PATH="$tmp/many:$tmp/bin:$PATH")

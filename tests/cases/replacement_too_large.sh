# The new header cannot be written in full: the previous one stays as it was, nothing is left
# beside it, and the run says so. The header (some 12 KiB) outgrows the limit; a coverage
# build's counters, under 4 KiB a file, do not.
posix_only="resource limits"
new_project_with_lib
echo '/* previous */' >applications/revision.h
args=(x s)
limit_file_size=8
cd "$tmp"
mkdir many
cat >many/git <<GIT
#!/bin/sh
[ "\$1" = submodule ] || exec "$tmp/bin/git" "\$@"
"$tmp/bin/git" "\$@"
seq 200 | sed 's|.*| 0123456789012345678901234567890123456789 many/& (heads/main)|'
GIT
chmod +x many/git
tool_env=(PATH="$tmp/many:$tmp/bin:$PATH")

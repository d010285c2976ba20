# One run of a split listing fails: its output and the other runs' are thrown away, and the
# one command's bytes, messages and exit status decide.
posix_only="a Git stand-in script"
new_project_with_lib a b c d
mkdir "$tmp/failing"
cat >"$tmp/failing/git" <<GIT
#!/bin/sh
case "\$*" in *'../d'*) echo " 0000000000000000000000000000000000000000 ../bogus"; echo boom >&2; exit 1 ;; esac
exec "$tmp/bin/git" "\$@"
GIT
chmod +x "$tmp/failing/git"
tool_env=(PATH="$tmp/failing:$tmp/bin:$PATH")
args=(x s)
after() { same_as_one_command; }

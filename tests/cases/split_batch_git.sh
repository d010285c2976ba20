# Submodule names that cmd.exe would read as commands and variables. On Windows Git is a git.cmd
# (WindowsGitInstalls): no name goes on its command line, and the one command lists. Here the
# split runs fail, so that the stand-in's answer is the one command's.
posix_only="a Git stand-in script; its Windows run is in WindowsGitInstalls, through a git.cmd"
new_project_with_lib 'a&del,main.c' 'c^x' d 'x%OS%y'
commit fw/main.c
mkdir "$tmp/failing"
cat >"$tmp/failing/git" <<GIT
#!/bin/sh
case "\$*" in submodule*' -- '*) exit 1 ;; esac
exec "$tmp/bin/git" "\$@"
GIT
chmod +x "$tmp/failing/git"
tool_env=(PATH="$tmp/failing:$tmp/bin:$PATH")
args=(x s)

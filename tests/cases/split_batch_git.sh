# Submodule names that cmd.exe would read as commands and variables, each run of two holding
# one kind: & and ^, then % alone. On Windows (WindowsGitInstalls) no name goes on a git.cmd's
# command line, nor on a git.exe's, which may be a launcher that hands it to cmd.exe; the one
# command lists. Here the split runs fail, so that the stand-in's answer is the one command's.
posix_only="a Git stand-in script; its Windows run is in WindowsGitInstalls, through a git.cmd"
new_project_with_lib 'a&del,main.c' 'c^x' d 'x%OS%y'
commit fw/main.c
failing_split_runs
args=(x s)

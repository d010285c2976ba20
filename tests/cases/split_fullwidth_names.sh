# Names whose fullwidth & and " (and an ideographic blank) a launcher written with the ANSI API
# gets as & " and a blank, by the code page's best fit: on Windows (WindowsGitInstalls) no byte
# beyond printable ASCII goes on Git's command line, and the one command lists. Here the split
# runs fail, so that the stand-in's answer is the one command's.
posix_only="a Git stand-in script; its Windows run is in WindowsGitInstalls, through launchers"
new_project_with_lib a b 'x＂＆mkdir PWNED＆＂' 'y＆mkdir　PWNED2'
failing_split_runs
args=(x s)

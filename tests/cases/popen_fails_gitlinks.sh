# The index cannot be listed for the submodules' split: nothing to report, and the one command
# lists them.
posix_only="a preloaded library"
new_project_with_lib a b c d
fail_spawn="ls-files -s -z -- :(top)"
args=(x s)

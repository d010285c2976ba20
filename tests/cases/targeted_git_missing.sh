# No Git at all in the targeted form: the submodule listing is an empty literal.
new_project
tool_env=(PATH="$tmp/no-git")
args=(x s)

new_project
tool_env=(PATH="$tmp/no-git")

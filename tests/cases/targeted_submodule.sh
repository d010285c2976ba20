new_project_with_lib
args=(x s)

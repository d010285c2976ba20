# Only "git status" cannot get a pipe; every other command works.
new_project_with_lib
echo change >>main.c
fail_spawn="git -c color.status=never -c status.displayCommentPrefix=false status --long --no-column"
args=(x s)

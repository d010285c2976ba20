# A merge stopped by a both-added conflict is a changed tree.
new_project
git checkout -q -b other && commit both.c
git checkout -q main && echo "main's own" >both.c && git add both.c && tick && git commit -q -m main
git merge -q other >/dev/null 2>&1 || true

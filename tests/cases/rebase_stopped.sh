# An interactive rebase stopped at "edit", whose done and next commands' subjects hold markers:
# a clean tree stays clean.
new_project
for subject in "Fix deleted: entries" "Add new file parser"; do
  echo "$subject" >>main.c && git add -A && tick && git commit -q -m "$subject"
done
GIT_SEQUENCE_EDITOR="sed -i s/^pick/edit/" git rebase -q -i HEAD~2 >/dev/null 2>&1
git status | grep -q 'Next command to do' || { echo "no rebase in progress" >&2; exit 1; }

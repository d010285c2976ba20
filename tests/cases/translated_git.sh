# A German Git must still have its changes found: the tool asks Git for English itself.
new_project
echo change >>main.c
unset LC_ALL
export LANGUAGE=de LANG=C.UTF-8
# Without German here the case would prove nothing.
git status | grep -q 'geändert:' || { echo "git status is not German here" >&2; exit 1; }

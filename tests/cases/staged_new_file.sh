# The staged new file is listed first and decides; the modification after it is not echoed.
new_project
echo new >new.c
git add new.c
echo change >>main.c

new_project
echo change >>main.c

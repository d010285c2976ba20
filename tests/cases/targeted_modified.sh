new_project
echo change >>main.c
args=(x s)

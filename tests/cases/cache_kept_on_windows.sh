# The Windows build keeps its listing too (its records written with CR LF line ends) and stamps
# from it the next time, when Git could not list it again.
new_project
commit main.c
wine_twice=1

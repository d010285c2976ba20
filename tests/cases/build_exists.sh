new_project
mkdir fw/build

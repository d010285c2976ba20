# A plain file named build counts as the build directory.
new_project
echo keep >fw/build
git add fw/build
tick
git commit -q -m "build file"

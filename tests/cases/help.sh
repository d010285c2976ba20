# --help answers on stdout and touches nothing: no build directory, no header, no Git.
new_project
args=(--help)
after() { [ -e repo/fw/build ] && echo "build created" || echo "no build directory"; }

# A depth-1 clone, as CI services check out by default: the count would be 1 on every build.
new_repo origin && (cd origin && commit main.c && commit main.c && commit main.c)
git clone -q --depth 1 "file://$tmp/origin" repo
mkdir repo/applications repo/fw

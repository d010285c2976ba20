# A clone made with --shared whose source has since lost its objects: Git finds the repository
# but cannot walk HEAD, which must not pass for a source tarball.
new_repo origin && (cd origin && commit main.c && commit main.c)
git clone -q --shared origin repo
mkdir repo/applications repo/fw
rm -rf origin/.git/objects/??

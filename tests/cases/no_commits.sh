new_repo repo
mkdir repo/applications repo/fw
echo new >repo/main.c
git -C repo add main.c

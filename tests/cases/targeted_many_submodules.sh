# Fifty submodules, listed by several Git commands side by side: blanks, quotes, backslashes,
# glob characters (one name a pattern that matches others), a colon and non-ASCII bytes in names,
# three levels of nesting, one not initialised (-), one with new commits (+), a tag for describe.
# The stamp is the one command's.
posix_only="names Windows refuses, and one stand-in answer for several listing commands"
new_repo lib && (cd lib && commit lib.c && git tag -a v1.0 -m v1.0 && commit lib.c && commit lib.c)
new_repo inner && (cd inner && commit inner.c && add_submodule ../lib deep && tick &&
  git commit -q -m deep)
new_repo nest && (cd nest && commit nest.c && add_submodule ../inner inner && tick &&
  git commit -q -m inner)
new_project
args=(x s)
# Registered first: once sub10 to sub40 exist, the pattern would name them. Each is a copy of
# one clone, added as it stands, which is many times quicker than a submodule add apiece.
git clone -q ../lib "$tmp/lib-clone"
names=('with blank' 'quote"d' 'back\slash' 'glob*[?]' 'sub[0-4]0' 'colon:name' $'caf\xc3\xa9' cold
  moved $(seq -f 'sub%02g' 39))
for name in "${names[@]}"; do
  cp -a "$tmp/lib-clone" "$name"
  git config -f .gitmodules "submodule.$name.path" "$name"
  git config -f .gitmodules "submodule.$name.url" ../lib
done
git --literal-pathspecs add .gitmodules -- "${names[@]}" 2>/dev/null
git submodule init -q
add_submodule ../nest nest
git -c protocol.file.allow=always submodule update -q --init --recursive nest
tick && git commit -q -m submodules
# What git submodule deinit does, which refuses a .git folder inside.
git config --remove-section submodule.cold && rm -rf cold && mkdir cold
(cd moved && git checkout -q HEAD~1)
after() { same_as_one_command; }

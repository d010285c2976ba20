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
# Added first: once sub10 to sub40 exist, the pattern would name them.
for name in 'with blank' 'quote"d' 'back\slash' 'glob*[?]' 'sub[0-4]0' 'colon:name' \
  $'caf\xc3\xa9' cold moved $(seq -f 'sub%02g' 39); do add_submodule ../lib "$name"; done
git -c protocol.file.allow=always submodule add -q ../nest nest
git -c protocol.file.allow=always submodule update -q --init --recursive nest
tick && git commit -q -m submodules
git submodule deinit -q cold
(cd moved && git checkout -q HEAD~1)
after() { same_as_one_command; }

# Four submodules checked out, one moved on and one nested inside another: two runs list them
# side by side, each from the index copy (on Windows a binary copy, each run answered by its
# own paths), and their bytes one after another are the one command's.
new_repo inner && (cd inner && commit inner.c)
new_repo outer && (cd outer && commit outer.c && add_submodule ../inner inner && tick &&
  git commit -q -m inner)
new_project_with_lib a b c
add_submodule ../outer d
git -c protocol.file.allow=always submodule update -q --init --recursive d
tick && git commit -q -m outer
(cd b && commit lib.c)
args=(x s)
after() { same_as_one_command; }

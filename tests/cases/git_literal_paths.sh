# GIT_LITERAL_PATHSPECS=1 in the build's environment: the index listing's :(top) would match a
# file of that name alone and find no gitlink, so the one command lists the submodule.
new_project_with_lib
export GIT_LITERAL_PATHSPECS=1
args=(x s)

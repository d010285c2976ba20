# REVSTAMP_REQUIRE_HISTORY=1 in a repository that GIT_CEILING_DIRECTORIES keeps Git from looking
# in: the error says what Git said, that it found none, not that it refused one.
new_project
export REVSTAMP_REQUIRE_HISTORY=1 GIT_CEILING_DIRECTORIES=$PWD

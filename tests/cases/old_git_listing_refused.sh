# As old_git_listing, with Git 1.8.3.1, which refuses to list submodules below the top.
posix_only="a Git stand-in script"
OLD_GIT_VERSION=1.8.3.1
. "$(dirname "$case_file")/old_git_listing.sh"

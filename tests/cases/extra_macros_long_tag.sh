# REVSTAMP_EXTRA_MACROS=1 with a tag name of 1,204 bytes one commit below HEAD: the describe
# string holds it whole, and the distance that follows it.
new_project
git tag "$(printf "%0240d/" 1 2 3 4)$(printf "%0240d" 5)"
commit main.c
export REVSTAMP_EXTRA_MACROS=1

# REVSTAMP_EXTRA_MACROS=1 on a modified tree without a tag: HEAD's name, describe's abbreviated
# hash, dirty, valid.
new_project
commit main.c
echo change >>main.c
export REVSTAMP_EXTRA_MACROS=1

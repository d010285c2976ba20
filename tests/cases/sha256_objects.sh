# A repository of SHA-256 objects: 64-digit object names, the hash still their first eight
# digits, and the listing kept between stamps as for SHA-1: the run stamps what the first stamp
# kept (no git rev-list in its log), as a walk does.
git init -q -b main --object-format=sha256 repo && cd repo && mkdir applications fw
commit main.c
commit main.c
export REVSTAMP_EXTRA_MACROS=1
stamp first
after() { same_as_a_walk; }

# A shallow clone stamped with REVSTAMP_ALLOW_SHALLOW=1 keeps nothing; fetched whole, it walks.
new_repo origin && (cd origin && commit main.c && commit main.c && commit main.c)
git clone -q --depth 1 "file://$tmp/origin" repo
mkdir repo/applications repo/fw
stamp shallow REVSTAMP_ALLOW_SHALLOW=1
git -C repo fetch -q --unshallow
after() { same_as_a_walk; }

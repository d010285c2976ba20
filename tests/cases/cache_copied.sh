# What one clone kept, copied into a clone of another history: no record is HEAD's there.
new_project
commit main.c
commit main.c
stamp first
cd "$tmp" && new_repo other && (cd other && mkdir applications fw && commit other.c && echo /applications/ >>.git/info/exclude)
cp repo/.git/info/revstamp-cache other/.git/info/
run_dir=other/fw
after() { same_as_a_walk; }

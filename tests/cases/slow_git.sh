# The history listing and the status each take a second: started side by side, a stamp costs
# the slower of the two, not their sum.
posix_only="a Git stand-in script"
new_project
commit main.c
echo change >>main.c
cd "$tmp"
mkdir slow
cat >slow/git <<GIT
#!/bin/sh
case "\$*" in
  rev-list*|*status\ --long*) date +%s%N >"$tmp/started.\$\$"; sleep 1 ;;
esac
exec "$tmp/bin/git" "\$@"
GIT
chmod +x slow/git
tool_env=(PATH="$tmp/slow:$tmp/bin:$PATH")
after() {
  starts=$(cat started.* | sort -n)
  gap_ms=$((($(echo "$starts" | tail -n1) - $(echo "$starts" | head -n1)) / 1000000))
  echo "slow commands: $(echo "$starts" | wc -l)"
  [ "$gap_ms" -lt 500 ] && echo "started together" || echo "started ${gap_ms} ms apart"
}

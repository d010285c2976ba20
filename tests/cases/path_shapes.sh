# PATH shapes where the Git the shells run is ./git, or one past a link loop: revstamp starts the
# one `sh -c 'command -v git'` names, by its path, and never searches again.
posix_only="PATH shapes of POSIX shells"
new_project
commit main.c
mkdir -p "$tmp/other" && ln -s loop "$tmp/loop"
for where in "$tmp/repo/fw" "$tmp/other"; do
  printf '#!/bin/sh\necho "%s" >>"%s/ran"\nexec "%s" "$@"\n' "${where##*/}" "$tmp" "$real_git" >"$where/git"
  chmod +x "$where/git"
done
after() {
  for shape in "/nothing:" "" ":/nothing" "/nothing::$tmp/other" "$tmp/loop::/nothing" \
    "$tmp/loop/x:$tmp/other"; do
    rm -f ran && tool_env=(PATH="$shape") && stamp shaped
    shell=$(cd repo/fw && PATH="$shape" /bin/sh -c 'command -v git')
    printf '"%s": sh finds %s, revstamp ran %s, exit %s\n' "${shape//$tmp/TMP}" \
      "${shell//$tmp/TMP}" "$(sort -u ran 2>/dev/null | tr '\n' ' ')" "$(cat shaped/status)"
  done
}

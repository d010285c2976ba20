# PATH shapes where the Git the shells run is ./git, or one past a link loop, a folder or a file
# that may not run: revstamp starts the one `sh -c 'command -v git'` names, by its path, and never
# searches again. Without a PATH, it searches where execvp does.
posix_only="PATH shapes of POSIX shells"
new_project
commit main.c
mkdir -p "$tmp/other" "$tmp/folder/git" "$tmp/unrunnable" && ln -s loop "$tmp/loop"
# Passed over by both: a folder named git, and a git this user may not run.
cp "$real_git" "$tmp/unrunnable/git" && chmod 644 "$tmp/unrunnable/git"
for where in "$tmp/repo/fw" "$tmp/other"; do
  printf '#!/bin/sh\necho "%s" >>"%s/ran"\nexec "%s" "$@"\n' "${where##*/}" "$tmp" "$real_git" >"$where/git"
  chmod +x "$where/git"
done
after() {
  for shape in "/nothing:" "" ":/nothing" "/nothing::$tmp/other" "$tmp/loop::/nothing" \
    "$tmp/loop/x:$tmp/other" "$tmp/folder:$tmp/unrunnable:$tmp/other"; do
    rm -f ran && tool_env=(PATH="$shape") && stamp shaped
    shell=$(cd repo/fw && PATH="$shape" /bin/sh -c 'command -v git')
    printf '"%s": sh finds %s, revstamp ran %s, exit %s\n' "${shape//$tmp/TMP}" \
      "${shell//$tmp/TMP}" "$(sort -u ran 2>/dev/null | tr '\n' ' ')" "$(cat shaped/status)"
  done
  tool_env=(-u PATH) && stamp unset
  echo "no PATH: exit $(cat unset/status), $(cmp -s unset/stdout shaped/stdout && echo "the same stamp")"
}

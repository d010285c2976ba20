# Git 2.17 (Ubuntu 18.04) lists a submodule that moved on without its + below the top, and Git
# 1.8.3.1 (CentOS 7) refuses to list there: both list at the top, each path written as from
# here. OLD_GIT_VERSION picks the version the stand-in gives (default 2.17.0).
posix_only="a Git stand-in script"
new_project_with_lib lib fw/inner
(cd lib && commit lib.c)
args=(x s)
mkdir "$tmp/old"
cat >"$tmp/old/git" <<GIT
#!/bin/sh
[ "\$1" = version ] && echo "git version ${OLD_GIT_VERSION:-2.17.0}" && exit
[ "\$1" != submodule ] || [ -z "\$("$tmp/bin/git" rev-parse --show-prefix)" ] ||
  { echo "You need to run this command from the toplevel of the working tree." >&2; exit 1; }
exec "$tmp/bin/git" "\$@"
GIT
chmod +x "$tmp/old/git"
tool_env=(PATH="$tmp/old:$tmp/bin:$PATH")

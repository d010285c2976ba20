# The deciding line comes first in more status than a pipe holds: Git, writing straight into the
# tool's pipe here, is cut off by SIGPIPE once the letter is known, which is no failure.
posix_only="a Git stand-in script"
new_project
echo change >>main.c
touch $(seq -f 'an-untracked-file-with-a-long-name-%g.c' 3000)
cd "$tmp"
mkdir direct
cat >direct/git <<GIT
#!/bin/sh
case " \$* " in *" status "*) ;; *) exec "$tmp/bin/git" "\$@" ;; esac
echo "\$*" >>"$out/git.log"
exec "$real_git" "\$@"
GIT
chmod +x direct/git
tool_env=(PATH="$tmp/direct:$tmp/bin:$PATH")

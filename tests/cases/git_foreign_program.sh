# A program for another machine named git first on PATH (a multi-arch SDK folder): no shell is
# handed it as a script; the run says the format is wrong and fails.
posix_only="an ELF file Linux cannot run"
new_project
mkdir "$tmp/sdk"
printf '\177ELF\002\001\001\000\000\000\000\000\000\000\000\000\002\000\267\000' >"$tmp/sdk/git"
chmod +x "$tmp/sdk/git"
tool_env=(PATH="$tmp/sdk:$tmp/bin:$PATH")

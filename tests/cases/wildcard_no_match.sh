# A pattern that matches no file stays as typed: '?' is no selector.
new_project
touch fw/stamp
args=(x '?zzz')

# On Windows an unquoted '?tamp' becomes the file name 'stamp' before the selector is read.
new_project
touch fw/stamp
args=(x stamp)
wine_args=(x '?tamp')

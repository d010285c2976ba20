# A tracked file replaced by a symbolic link is a change, though no marker names it.
new_project
rm main.c && ln -s elsewhere main.c

/* The Git a case's run finds on PATH: logs each command line to OUT/git.log, runs the real Git
   with its stdout in a file of its own, then passes that on, and keeps it and the exit status in
   OUT/git-out/answers/<words>.out and .status, <words> being the command's letters, digits and
   ._=- (the first 200 of them), as the Windows stand-in finds them. Its two paths, the real Git's
   and OUT, are the two lines of the file beside it named as it is, with ".recorder" added. With
   CASE_STAMP set (a case's own stamps) it is the real Git and records nothing. A program rather
   than a script: every stamp starts it many times, and a script's cat and mv are processes too. */
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

/* Reads one line of in into line, without its end; 0 when there is none. */
static int read_line(FILE *in, char *line, size_t size) {
  if (in == NULL || fgets(line, (int)size, in) == NULL) return 0;
  line[strcspn(line, "\n")] = '\0';
  return 1;
}

/* Copies the file at path to stdout; a reader gone (EPIPE) ends it quietly, as cat's end did. */
static void pass_on(const char *path) {
  FILE *in = fopen(path, "rb");
  char block[65536];
  size_t got;
  while (in != NULL && (got = fread(block, 1, sizeof block, in)) > 0)
    if (fwrite(block, 1, got, stdout) != got) break;
  fflush(stdout);
  if (in != NULL) fclose(in);
}

int main(int argc, char **argv) {
  char self[PATH_MAX], config[PATH_MAX + 16], git[PATH_MAX], out[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return 127;
  self[length] = '\0';
  snprintf(config, sizeof config, "%s.recorder", self);
  FILE *paths = fopen(config, "r");
  const int read = read_line(paths, git, sizeof git) && read_line(paths, out, sizeof out);
  if (paths != NULL) fclose(paths);
  if (!read) return 127;
  argv[0] = git;
  const char *stamp = getenv("CASE_STAMP");
  if (stamp != NULL && *stamp != '\0') {
    execv(git, argv);
    return 127;
  }

  char words[201], log_path[PATH_MAX + 16];
  size_t size = 0;
  snprintf(log_path, sizeof log_path, "%s/git.log", out);
  FILE *log = fopen(log_path, "a");
  for (int i = 1; i < argc; ++i) {
    if (log != NULL) fprintf(log, i > 1 ? " %s" : "%s", argv[i]);
    for (const char *c = argv[i]; *c != '\0' && size < sizeof words - 1; ++c)
      if ((*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9') ||
          strchr("._=-", *c) != NULL)
        words[size++] = *c;
  }
  words[size] = '\0';
  if (log != NULL) fprintf(log, "\n"), fclose(log);

  /* Several commands of one name may run at once: each keeps its own until it is done. */
  char answer[PATH_MAX + 256], held[PATH_MAX + 300], kept[PATH_MAX + 300];
  snprintf(answer, sizeof answer, "%s/git-out/answers/%s", out, words);
  snprintf(held, sizeof held, "%s.%ld", answer, (long)getpid());
  fflush(NULL);
  const pid_t child = fork();
  if (child == 0) {
    if (freopen(held, "wb", stdout) == NULL) _exit(127);
    execv(git, argv);
    _exit(127);
  }
  int code = 127, status;
  if (child > 0 && waitpid(child, &status, 0) == child)
    code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  signal(SIGPIPE, SIG_IGN);
  pass_on(held);
  snprintf(kept, sizeof kept, "%s.status", answer);
  FILE *status_file = fopen(kept, "w");
  if (status_file != NULL) fprintf(status_file, "%d\n", code), fclose(status_file);
  snprintf(kept, sizeof kept, "%s.out", answer);
  rename(held, kept);
  return code;
}

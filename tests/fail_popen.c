/* Preloaded into the tool by the tests: popen fails, as when no pipe can be made, for the one
   command line named in FAIL_POPEN_COMMAND; every other command runs as usual. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

FILE *popen(const char *command, const char *mode) {
  const char *failing = getenv("FAIL_POPEN_COMMAND");
  if (failing != NULL && strcmp(command, failing) == 0) {
    errno = EMFILE;
    return NULL;
  }
  FILE *(*real_popen)(const char *, const char *) =
      (FILE * (*)(const char *, const char *)) dlsym(RTLD_NEXT, "popen");
  return real_popen(command, mode);
}

/* Preloaded into the tool by the tests: Git cannot be started, as when no process can be made,
   for the one command line named in FAIL_SPAWN_COMMAND; every other command runs as usual. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>

typedef int spawn_function(pid_t *, const char *, const posix_spawn_file_actions_t *,
                           const posix_spawnattr_t *, char *const[], char *const[]);

int posix_spawnp(pid_t *pid, const char *file, const posix_spawn_file_actions_t *actions,
                 const posix_spawnattr_t *attributes, char *const argv[], char *const envp[]) {
  const char *failing = getenv("FAIL_SPAWN_COMMAND");
  char line[1024] = "";
  for (char *const *arg = argv; *arg != NULL; ++arg) {
    if (arg != argv) strncat(line, " ", sizeof line - strlen(line) - 1);
    strncat(line, *arg, sizeof line - strlen(line) - 1);
  }
  if (failing != NULL && strcmp(line, failing) == 0) return EMFILE;
  spawn_function *real_spawnp = (spawn_function *)dlsym(RTLD_NEXT, "posix_spawnp");
  return real_spawnp(pid, file, actions, attributes, argv, envp);
}

/* Preloaded into the tool by the tests to make one fault happen for real:
     FAIL_SPAWN_COMMAND   Git cannot be started for that one command line (its words after
                          "git", as git.log records them), as when no process can be made;
                          every other command runs as usual;
     FAIL_CALL            every call of that one library function fails as it would when memory,
                          descriptors or the file system give out (waitpid only once, with EINTR).
   Only the tool is affected: Git, which inherits the preload, runs as usual. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

/* Set once the tool's main has returned: what runs after it (a coverage build writing its
   counters) calls the same functions and must not fail. */
static int exiting = 0;
static void stop_failing(void) { exiting = 1; }

static int failing(const char *name) {
  const char *call = getenv("FAIL_CALL");
  if (call == NULL || strcmp(call, name) != 0 ||
      strcmp(program_invocation_short_name, "revstamp") != 0) {
    return 0;
  }
  /* Registered from within main, so it runs before the destructors that exit runs last. */
  static int registered = 0;
  if (!registered) {
    registered = 1;
    atexit(stop_failing);
  }
  return !exiting;
}

#define REAL(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

int posix_spawn(pid_t *pid, const char *file, const posix_spawn_file_actions_t *actions,
                const posix_spawnattr_t *attributes, char *const argv[], char *const envp[]) {
  const char *failing_command = getenv("FAIL_SPAWN_COMMAND");
  char line[1024] = "";
  for (char *const *arg = argv + 1; *arg != NULL; ++arg) {
    if (arg != argv + 1) strncat(line, " ", sizeof line - strlen(line) - 1);
    strncat(line, *arg, sizeof line - strlen(line) - 1);
  }
  if (failing_command != NULL && strcmp(line, failing_command) == 0) return EMFILE;
  return REAL(posix_spawn)(pid, file, actions, attributes, argv, envp);
}

int posix_spawn_file_actions_init(posix_spawn_file_actions_t *actions) {
  return failing(__func__) ? ENOMEM : REAL(posix_spawn_file_actions_init)(actions);
}

int posix_spawnattr_init(posix_spawnattr_t *attributes) {
  return failing(__func__) ? ENOMEM : REAL(posix_spawnattr_init)(attributes);
}

int posix_spawnattr_setsigdefault(posix_spawnattr_t *attributes, const sigset_t *signals) {
  return failing(__func__) ? EINVAL : REAL(posix_spawnattr_setsigdefault)(attributes, signals);
}

int posix_spawnattr_setflags(posix_spawnattr_t *attributes, short flags) {
  return failing(__func__) ? EINVAL : REAL(posix_spawnattr_setflags)(attributes, flags);
}

int posix_spawn_file_actions_adddup2(posix_spawn_file_actions_t *actions, int fd, int to) {
  return failing(__func__) ? ENOMEM : REAL(posix_spawn_file_actions_adddup2)(actions, fd, to);
}

int posix_spawn_file_actions_addopen(posix_spawn_file_actions_t *actions, int fd, const char *path,
                                     int flags, mode_t mode) {
  return failing(__func__) ? ENOMEM
                           : REAL(posix_spawn_file_actions_addopen)(actions, fd, path, flags, mode);
}

FILE *fdopen(int fd, const char *mode) {
  if (!failing(__func__)) return REAL(fdopen)(fd, mode);
  errno = ENOMEM;
  return NULL;
}

int fchmod(int fd, mode_t mode) {
  if (!failing(__func__)) return REAL(fchmod)(fd, mode);
  errno = EPERM;
  return -1;
}

int fchown(int fd, uid_t owner, gid_t group) {
  if (!failing(__func__)) return REAL(fchown)(fd, owner, group);
  errno = EPERM;
  return -1;
}

int statx(int dirfd, const char *path, int flags, unsigned mask, struct statx *result) {
  if (!failing(__func__)) return REAL(statx)(dirfd, path, flags, mask, result);
  errno = ENOSYS;
  return -1;
}

int fclose(FILE *stream) {
  const int closed = REAL(fclose)(stream);
  if (!failing(__func__)) return closed;
  errno = EIO;
  return EOF;
}

void *realloc(void *old, size_t size) {
  if (!failing(__func__)) return REAL(realloc)(old, size);
  errno = ENOMEM;
  return NULL;
}

/* FAIL_CALL=rename_busy: as an SMB mount answers while another client has the file open;
   rename_refused: as a directory answers that keeps this user from replacing the file. */
int rename(const char *from, const char *to) {
  const int busy = failing("rename_busy"), refused = failing("rename_refused");
  if (!busy && !refused && !failing(__func__)) return REAL(rename)(from, to);
  errno = busy ? EBUSY : refused ? EACCES : EXDEV;
  return -1;
}

pid_t waitpid(pid_t pid, int *status, int options) {
  static int interrupted = 0;
  if (!failing(__func__) || interrupted++) return REAL(waitpid)(pid, status, options);
  errno = EINTR;
  return -1;
}

/* As when the working directory has been removed. */
char *getcwd(char *buffer, size_t size) {
  if (!failing(__func__)) return REAL(getcwd)(buffer, size);
  errno = ENOENT;
  return NULL;
}

/* A file whose times may not be set (the index copy's). */
int utimensat(int dirfd, const char *path, const struct timespec times[2], int flags) {
  if (!failing(__func__)) return REAL(utimensat)(dirfd, path, times, flags);
  errno = EPERM;
  return -1;
}

/* A new file under a name that is taken, every time. */
int open(const char *path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = (flags & O_CREAT) ? va_arg(args, mode_t) : 0;
  va_end(args);
  if (failing(__func__) && (flags & O_EXCL)) {
    errno = EEXIST;
    return -1;
  }
  return REAL(open)(path, flags, mode);
}

/* No descriptor left to duplicate one into; asking a descriptor's flags still answers. */
int fcntl(int fd, int command, ...) {
  va_list args;
  va_start(args, command);
  void *argument = va_arg(args, void *);
  va_end(args);
  if (failing(__func__) && command == F_DUPFD_CLOEXEC) {
    errno = EMFILE;
    return -1;
  }
  return REAL(fcntl)(fd, command, argument);
}

/* A folder that cannot be listed. */
DIR *opendir(const char *path) {
  if (!failing(__func__)) return REAL(opendir)(path);
  errno = EACCES;
  return NULL;
}

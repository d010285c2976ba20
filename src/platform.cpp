// Everything that differs between Windows and POSIX hosts lives here.
#include <cerrno>
#include <cstring>

#include "revstamp.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#endif

#ifdef _WIN32

#ifdef __MINGW32__
// Expand unquoted wildcard arguments at start-up, as the MSVC build does with setargv.obj.
extern "C" {
int _dowildcard = -1;
}
#endif

const char kHeaderPath[] = "..\\applications\\revision.h";

bool make_build_dir() {
  return CreateDirectoryA(".\\build", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

static void put_env(char *assignment) { _putenv(assignment); }

static FILE *popen_read(const char *command) { return _popen(command, "r"); }

int close_command_pipe(FILE *pipe) { return _pclose(pipe); }

// The C runtime keeps descriptors 0 to 2 reserved even when the process starts without standard
// handles, so no file or pipe can take their numbers.
void open_closed_standard_descriptors() {}

FILE *create_replacement(const char *path, char (&name)[kReplacementNameSize]) {
  const DWORD attributes = GetFileAttributesA(path);
  const DWORD in_place_only = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                              FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_READONLY;
  if (attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() != ERROR_FILE_NOT_FOUND
                                            : (attributes & in_place_only) != 0) {
    return nullptr;
  }
  char directory[kReplacementNameSize];
  const char *base = strrchr(path, '\\');
  snprintf(directory, sizeof directory, "%.*s", static_cast<int>(base - path), path);
  // GetTempFileNameA creates the file under a new name ending in .tmp, which no build picks up.
  if (GetTempFileNameA(directory, "rev", 0, name) == 0) return nullptr;
  FILE *file = fopen(name, "w");
  if (file == nullptr) DeleteFileA(name);
  return file;
}

int replace_file(const char *from, const char *to) {
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return 0;
  const DWORD error = GetLastError();
  if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
      error == ERROR_LOCK_VIOLATION) {
    return kFileHeld;
  }
  // The caller reports errno; Windows' own code has no errno of its own.
  errno = error == ERROR_DISK_FULL ? ENOSPC : EIO;
  return 1;
}

#else

const char kHeaderPath[] = "../applications/revision.h";

bool make_build_dir() { return mkdir("build", 0777) == 0 || errno == EEXIST; }

static void put_env(char *assignment) { putenv(assignment); }

static FILE *popen_read(const char *command) { return popen(command, "r"); }

int close_command_pipe(FILE *pipe) {
  const int status = pclose(pipe);
  if (status == -1) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void open_closed_standard_descriptors() {
  // A closed descriptor goes to the next file opened: the header, or a pipe, would take stderr's
  // number and receive Git's complaints. The lowest free number is the one just found closed.
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) open("/dev/null", O_RDWR);
  }
}

FILE *create_replacement(const char *path, char (&name)[kReplacementNameSize]) {
  struct stat old;
  mode_t mode;
  if (lstat(path, &old) == 0) {
    // A link keeps pointing where it did, and a device stays a device: those are written in
    // place, as is a file this user may not write, which then fails as it always did.
    if (!S_ISREG(old.st_mode) || access(path, W_OK) != 0) return nullptr;
    mode = old.st_mode & 07777;
  } else if (errno == ENOENT) {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;  // what fopen would create
  } else {
    return nullptr;
  }
  // Hidden and not ending in .h: no build picks up what a killed run leaves behind.
  const char *slash = strrchr(path, '/');
  const int directory = slash == nullptr ? 0 : static_cast<int>(slash + 1 - path);
  snprintf(name, sizeof name, "%.*s.%s.XXXXXX", directory, path, path + directory);
  const int fd = mkstemp(name);
  if (fd == -1) return nullptr;
  FILE *file = fchmod(fd, mode) == 0 ? fdopen(fd, "w") : nullptr;
  if (file == nullptr) {
    close(fd);
    unlink(name);
  }
  return file;
}

int replace_file(const char *from, const char *to) { return rename(from, to) == 0 ? 0 : 1; }

#endif

void prepare_git_environment() {
  // The environment keeps these strings, so they live as long as the process.
  // The change markers are English: a translated Git would stamp a modified tree as clean.
  static char english[] = "LC_ALL=C";
  // Without it git status refreshes and rewrites .git/index, taking index.lock from under a
  // commit the user makes at the same moment.
  static char no_optional_locks[] = "GIT_OPTIONAL_LOCKS=0";
  // Into a pipe Git flushes after every line: a write, and a wake-up of this reader, per commit.
  // Block-buffered, the history listing costs about half as much, with the same bytes.
  static char block_buffered[] = "GIT_FLUSH=0";
  put_env(english);
  put_env(no_optional_locks);
  put_env(block_buffered);
}

FILE *open_command_pipe(const char *command) {
  // Git's output arrives in fewer, larger reads than the pipe's default 4 KiB buffer allows,
  // which spares the reader and Git many wake-ups on long listings. Only one command pipe is
  // open at a time, so one buffer serves them all.
  static char buffer[1 << 16];
  FILE *pipe = popen_read(command);
  if (pipe != nullptr) setvbuf(pipe, buffer, _IOFBF, sizeof buffer);
  return pipe;
}

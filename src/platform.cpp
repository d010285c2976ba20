// Everything that differs between Windows and POSIX hosts lives here.
#include "revstamp.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include <cerrno>
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

#else

const char kHeaderPath[] = "../applications/revision.h";

bool make_build_dir() { return mkdir("build", 0777) == 0 || errno == EEXIST; }

static void put_env(char *assignment) { putenv(assignment); }

static FILE *popen_read(const char *command) { return popen(command, "r"); }

int close_command_pipe(FILE *pipe) { return pclose(pipe); }

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

// Everything that differs between Windows and POSIX hosts lives here.
#include "git.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include <cerrno>
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

static FILE *popen_read(const char *command) { return _popen(command, "r"); }

int close_command_pipe(FILE *pipe) { return _pclose(pipe); }

#else

const char kHeaderPath[] = "../applications/revision.h";

bool make_build_dir() { return mkdir("build", 0777) == 0 || errno == EEXIST; }

static FILE *popen_read(const char *command) { return popen(command, "r"); }

int close_command_pipe(FILE *pipe) { return pclose(pipe); }

#endif

FILE *open_command_pipe(const char *command) {
  FILE *pipe = popen_read(command);
  if (pipe == nullptr) perror("popen failed");
  return pipe;
}

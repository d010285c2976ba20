// The seam's functions that the C runtime's streams serve alike on every platform: with them,
// only the platform files read errno.
#include <cerrno>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "revstamp.h"

void write_console(Console &console, const char *bytes, size_t size) {
  if (console.stream == nullptr) return;
  if (fwrite(bytes, 1, size, console.stream) != size && console.error == 0) console.error = errno;
}

int flush_console(Console &console) {
  if (console.stream == nullptr) return 0;
  if (fflush(console.stream) != 0 && console.error == 0) console.error = errno;
  // A failed write that left no reason of its own.
  if (ferror(console.stream) && console.error == 0) console.error = EIO;
  return console.error;
}

int adopt_output(GitCommand &command, int fd) {
  command.output = fdopen(fd, "r");
  if (command.output != nullptr) return 0;
  const int error = errno;
  close(fd);
  // Git is running already: it sees its reader gone, and is waited for.
  wait_for_git(command);
  return error;
}

int write_and_close(FILE *file, const char *bytes, size_t size) {
  int error = 0;
  if (fwrite(bytes, 1, size, file) != size || fflush(file) != 0) error = errno;
  if (fclose(file) != 0 && error == 0) error = errno;
  return error;
}

// The seam's functions that the C runtime's streams serve alike on every platform: with them,
// only the platform files read errno.
#include <cerrno>

#include "revstamp.h"

void write_console(Console &console, const char *bytes, size_t size) {
  if (console.stream == nullptr) return;
  if (fwrite(bytes, 1, size, console.stream) != size && console.error == 0)
    console.error = write_error();
}

int flush_console(Console &console) {
  if (console.stream == nullptr) return 0;
  if (fflush(console.stream) != 0 && console.error == 0) console.error = write_error();
  // A failed write that left no reason of its own.
  if (ferror(console.stream) && console.error == 0) console.error = EIO;
  return console.error;
}

int write_and_close(FILE *file, const char *bytes, size_t size) {
  int error = 0;
  if (fwrite(bytes, 1, size, file) != size || fflush(file) != 0) error = write_error();
  if (fclose(file) != 0 && error == 0) error = write_error();
  return error;
}

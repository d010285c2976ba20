// What every other file uses: bytes grown in memory, and the one writer of the tool's own lines
// on stderr. It calls nothing of the tool's.
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "revstamp.h"

void *reallocate(void *old, size_t size) {
  void *grown = realloc(old, size);
  if (grown != nullptr) return grown;
  // Nothing half-done is worth stamping: the header stays as it was, and the run says why.
  report_failure("write failed", ENOMEM);
  exit(1);
}

void append(Text &text, const char *bytes, size_t size) {
  if (size == 0) return;
  if (text.size + size > text.capacity) {
    text.capacity = 2 * (text.size + size);
    text.bytes = static_cast<char *>(reallocate(text.bytes, text.capacity));
  }
  memcpy(text.bytes + text.size, bytes, size);
  text.size += size;
}

void append(Text &text, const char *string) { append(text, string, strlen(string)); }

void release(Text &text) {
  free(text.bytes);
  text = Text();
}

void report(const char *format, ...) {
  va_list values;
  va_start(values, format);
  vfprintf(stderr, format, values);  // NOLINT(clang-analyzer-valist.Uninitialized): va_start'd
  va_end(values);
  fputc('\n', stderr);
  // One write, line end included, from the buffer prepare_process gave stderr: Git's own
  // complaints reach stderr meanwhile.
  fflush(stderr);
}

void report_failure(const char *message, int error) { report("%s: %s", message, strerror(error)); }

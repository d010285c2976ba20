// What every other file uses: bytes grown in memory, and the one writer of the tool's own lines
// on stderr. It calls nothing of the tool's.
#include <algorithm>
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

void append(Bytes &text, const char *bytes, size_t size) {
  if (size == 0) return;
  if (text.size + size > text.capacity) {
    text.capacity = 2 * (text.size + size);
    text.bytes = static_cast<char *>(reallocate(text.bytes, text.capacity));
  }
  memcpy(text.bytes + text.size, bytes, size);
  text.size += size;
}

void append(Bytes &text, const char *string) { append(text, string, strlen(string)); }

bool append_stream(FILE *in, Bytes &text, size_t most) {
  char block[4096];
  for (size_t got; text.size <= most && (got = fread(block, 1, sizeof block, in)) > 0;)
    append(text, block, got);
  return ferror(in) == 0 && text.size <= most;
}

char *next_line(char *line) {
  char *end = line + strcspn(line, "\n");
  if (*end == '\0') return end;
  *end = '\0';
  return end + 1;
}

void release(Bytes &text) {
  free(text.bytes);
  text = Bytes();
}

void report(const char *format, ...) {
  // One write, line end included: Git's own complaints reach stderr meanwhile.
  va_list values, again;
  va_start(values, format);
  va_copy(again, values);
  char fixed[1024];
  // values is va_start'ed above; the analyzer, following reallocate into report_failure and on
  // into this variadic function, does not see that.
  const size_t length = static_cast<size_t>(
      std::max(vsnprintf(fixed, sizeof fixed, format, values), 0));  // NOLINT(*valist*)
  char *line =
      length + 2 <= sizeof fixed ? fixed : static_cast<char *>(reallocate(nullptr, length + 2));
  if (line != fixed) vsnprintf(line, length + 1, format, again);
  va_end(again);
  va_end(values);
  line[length] = '\n';
  fwrite(line, 1, length + 1, stderr);
  if (line != fixed) free(line);
}

void report_failure(const char *message, int error) { report("%s: %s", message, strerror(error)); }

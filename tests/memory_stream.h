// In-memory streams for the stream-handling functions, shared by the unit tests and fuzzers.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

/// A readable stream over a copy of text, closed at scope exit.
struct InputStream {
  explicit InputStream(std::string text) : bytes(std::move(text)) {
    stream = fmemopen(bytes.data(), bytes.size(), "r");
  }
  InputStream(const InputStream &) = delete;
  InputStream &operator=(const InputStream &) = delete;
  ~InputStream() { fclose(stream); }
  std::string bytes;
  FILE *stream;
};

/// Everything write(FILE *) writes, as a string.
template <typename Write>
std::string captured(Write write) {
  char *bytes = nullptr;
  size_t size = 0;
  FILE *out = open_memstream(&bytes, &size);
  write(out);
  fclose(out);
  std::string text(bytes, size);
  free(bytes);
  return text;
}

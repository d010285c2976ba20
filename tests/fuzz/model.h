// An independent model of the line reader and the checks every fuzz target shares.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "git.h"

/// Aborts, so the fuzzer records the input, when an oracle does not hold.
inline void require(bool holds, const char *what) {
  if (holds) return;
  fprintf(stderr, "oracle failed: %s\n", what);
  abort();
}

/// The pieces a line reader with a buffer of size bytes hands over: each ends after a line
/// end, after size-1 bytes, or where the input ends.
inline std::vector<std::string> model_pieces(const std::string &input, size_t size) {
  std::vector<std::string> pieces(1);
  for (char c : input) {
    pieces.back() += c;
    if (c == '\n' || pieces.back().size() == size - 1) pieces.emplace_back();
  }
  if (pieces.back().empty()) pieces.pop_back();
  return pieces;
}

/// A piece as C string functions see it: up to its first zero byte.
inline std::string visible(const std::string &piece) { return piece.substr(0, piece.find('\0')); }

/// The input as a readable stream; fmemopen cannot take an empty buffer, so one byte stands
/// behind a stream that ends at once.
struct InputStream {
  explicit InputStream(const uint8_t *data, size_t size)
      : bytes(reinterpret_cast<const char *>(data), size) {
    bytes.push_back('\0');
    stream = fmemopen(bytes.data(), size, "r");
    if (size == 0) stream = fmemopen(bytes.data(), 1, "r"), fgetc(stream);
    require(stream != nullptr, "fmemopen");
  }
  ~InputStream() { fclose(stream); }
  std::string bytes;
  FILE *stream;
};

/// Everything a function writes to a memory stream.
template <typename Write>
std::string captured(Write write) {
  char *bytes = nullptr;
  size_t size = 0;
  FILE *out = open_memstream(&bytes, &size);
  require(out != nullptr, "open_memstream");
  write(out);
  fclose(out);
  std::string text(bytes, size);
  free(bytes);
  return text;
}

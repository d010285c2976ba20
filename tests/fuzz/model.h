// An independent model of the line reader and the checks every fuzz target shares.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "memory_stream.h"
#include "revstamp.h"

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

/// The fuzzer's input as text.
inline std::string text_of(const uint8_t *data, size_t size) {
  return std::string(reinterpret_cast<const char *>(data), size);
}

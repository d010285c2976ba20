// Piece counting with the last piece kept: the count is the model's, the buffer holds the
// model's last piece (or stays as it was for empty input) and is always zero-terminated in
// bounds.
#include <cstring>

#include "model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  InputStream in(text_of(data, size));
  const auto pieces = model_pieces(in.bytes, 256);
  char buf[256] = "00000000";
  require(count_pieces_keeping_last(in.stream, buf, sizeof buf) == static_cast<int>(pieces.size()),
          "count");
  require(memchr(buf, '\0', sizeof buf) != nullptr, "terminated");
  const std::string expected = pieces.empty() ? "00000000" : pieces.back();
  require(std::string(buf, expected.size()) == expected && buf[expected.size()] == '\0',
          "last piece");
  return 0;
}

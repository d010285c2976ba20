// Piece counting and the last piece: the count is the model's, the buffer holds the model's
// last piece (or stays as it was for empty input) and is always zero-terminated in bounds.
#include <cstring>

#include "model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const auto pieces = model_pieces(text_of(data, size), 256);
  {
    InputStream in(text_of(data, size));
    require(count_pieces(in.stream) == static_cast<int>(model_pieces(in.bytes, kPieceSize).size()),
            "count");
  }
  InputStream in(text_of(data, size));
  char buf[256] = "00000000";
  read_last_piece(in.stream, buf, sizeof buf);
  require(memchr(buf, '\0', sizeof buf) != nullptr, "terminated");
  const std::string expected = pieces.empty() ? "00000000" : pieces.back();
  require(std::string(buf, expected.size()) == expected && buf[expected.size()] == '\0',
          "last piece");
  return 0;
}

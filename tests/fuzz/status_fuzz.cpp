// Status scanning: the echo ends at the deciding piece, and the letter is the first marker in
// table order within the first piece that holds any.
#include "model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const std::pair<const char *, int> kMarkers[] = {
      {"modified:", 'M'},        {"new file", 'N'},       {"deleted:", 'D'},
      {"renamed:", 'R'},         {"typechange:", 'M'},    {"both added:", 'M'},
      {"added by us:", 'M'},     {"added by them:", 'M'}, {"deleted by us:", 'M'},
      {"deleted by them:", 'M'}, {"copied:", 'M'}};
  InputStream in(text_of(data, size));
  int letter = -1;
  const std::string echo = captured([&](FILE *out) { letter = scan_status(in.stream, out); });

  std::string expected_echo;
  int expected_letter = 0;
  for (const std::string &piece : model_pieces(in.bytes, kPieceSize)) {
    expected_echo += visible(piece) + "\n";
    for (const auto &[marker, marker_letter] : kMarkers) {
      if (visible(piece).find(marker) != std::string::npos) {
        expected_letter = marker_letter;
        break;
      }
    }
    if (expected_letter != 0) break;
  }
  require(letter == expected_letter, "state letter");
  require(echo == expected_echo, "echo");
  return 0;
}

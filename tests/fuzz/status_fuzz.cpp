// Status scanning: the echo ends at the deciding piece, and the letter is the first marker in
// table order within the first piece of an entry line (one that starts with a TAB, or with "#"
// and a TAB as Git before 1.8.5 prints it) that holds any.
#include "model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const std::pair<const char *, int> kMarkers[] = {
      {"modified:", 'M'},        {"new file", 'N'},       {"deleted:", 'D'},
      {"renamed:", 'R'},         {"typechange:", 'M'},    {"both added:", 'M'},
      {"added by us:", 'M'},     {"added by them:", 'M'}, {"deleted by us:", 'M'},
      {"deleted by them:", 'M'}, {"copied:", 'M'}};
  InputStream in(text_of(data, size));
  int letter = -1;
  const std::string echo = captured([&](FILE *out) {
    Console console{out};
    letter = scan_status(in.stream, console);
  });

  std::string expected_echo;
  int expected_letter = 0;
  bool entry = false;
  bool line_start = true;
  for (const std::string &piece : model_pieces(in.bytes, kPieceSize)) {
    const std::string seen = visible(piece);
    expected_echo += seen + "\n";
    // A line is an entry when it starts with a TAB or "#\t"; as C strings see a piece, one that
    // stops short of the buffer or ends in a line end is the last of its line.
    if (line_start) entry = seen.compare(0, 1, "\t") == 0 || seen.compare(0, 2, "#\t") == 0;
    line_start = seen.size() < kPieceSize - 1 || seen.back() == '\n';
    if (!entry) continue;
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

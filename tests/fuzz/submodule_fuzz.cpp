// The submodule block is always one valid C string literal of printable ASCII, continued over
// lines and free of trigraphs, whose value is each piece of the listing up to its first zero, CR or
// LF byte, followed by " \r\n".
#include "model.h"

static bool octal_digit(char c) { return c >= '0' && c <= '7'; }

// The value of the literal in block, or aborts when block is not exactly one valid literal.
static std::string literal_value(const std::string &block) {
  require(block.size() >= 5 && block.compare(0, 3, "\"\\\n") == 0, "opening");
  require(block.compare(block.size() - 2, 2, "\"\n") == 0, "closing");
  require(block.find("??") == std::string::npos, "a trigraph could form");
  std::string value;
  for (size_t i = 3; i < block.size() - 2; ++i) {
    const char c = block[i];
    require(c != '"' && c != '\n' && c != '\r' && c != '\0', "raw quote or line end in literal");
    require(c >= 0x20 && c < 0x7F, "raw control byte or byte that is not ASCII");
    if (c != '\\') {
      value += c;
      continue;
    }
    require(++i < block.size() - 2, "escape at the end");
    switch (block[i]) {
      case '\n':
        break;  // continuation
      case '"':
        value += '"';
        break;
      case '\\':
        value += '\\';
        break;
      case '?':
        value += '?';
        break;
      case 'r':
        value += '\r';
        break;
      case 'n':
        value += '\n';
        break;
      case '0':
      case '1':
      case '2':
      case '3':
        // Always three digits, so a digit that follows is never taken into the escape.
        require(i + 2 < block.size() - 2 && octal_digit(block[i + 1]) && octal_digit(block[i + 2]),
                "octal escape of three digits");
        value += static_cast<char>(std::stoi(block.substr(i, 3), nullptr, 8));
        i += 2;
        break;
      default:
        require(false, "unknown escape");
    }
  }
  // The closing quote must stand at the start of its own line.
  require(block[block.size() - 3] == '\n', "closing line");
  return value;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  InputStream in(text_of(data, size));
  Bytes listing, written;
  append(listing, in.bytes.data(), in.bytes.size());
  print_git_submodule_info(listing, written);
  release(listing);
  const std::string block(written.bytes, written.size);
  release(written);
  std::string expected;
  for (const std::string &piece : model_pieces(in.bytes, kPieceSize))
    expected += piece.substr(0, piece.find_first_of(std::string("\0\r\n", 3))) + " \r\n";
  require(literal_value(block) == expected, "literal value");
  return 0;
}

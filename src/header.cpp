// The header's bytes, composed in memory from the facts the run hands over: the file they go to
// is header_file.cpp's.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "revstamp.h"

static const char kGuardOpening[] = "#ifndef REVISION_H_\n#define REVISION_H_\n";

// The target name is picked by the firmware's own defines when it is compiled.
static const char kTargetBlock[] =
    "#if (defined DEBUG)\n"
    "#define\t\tFIRMWARE_TARGET_STR\t\"debug\"\n"
    "#elif (defined _DEBUG)\n"
    "#define      FIRMWARE_TARGET_STR  \"debug\"\n"
    "#elif (defined __DEBUG)\n"
    "#define      FIRMWARE_TARGET_STR  \"debug\"\n"
    "#elif (defined DISTRIBUTION)\n"
    "#define      FIRMWARE_TARGET_STR  \"distribution\"\n"
    "#elif (defined _DISTRIBUTION)\n"
    "#define      FIRMWARE_TARGET_STR  \"distribution\"\n"
    "#elif (defined __DISTRIBUTION)\n"
    "#define      FIRMWARE_TARGET_STR  \"distribution\"\n"
    "#else\n"
    "#define      FIRMWARE_TARGET_STR  \"release\"\n"
    "#endif\n";

static const char kChangedBuildInfo[] =
    "#define      FIRMWARE_BUILD_INFO        "
    "\"r\" FIRMWARE_VER_REV_STR \"-\" FIRMWARE_VER_HASH_STR \"-\" FIRMWARE_VER_MULTI \" \" "
    "FIRMWARE_TARGET_STR \" \"\" built on \" __DATE__ \" \" __TIME__\n";
static const char kCleanBuildInfo[] =
    "#define\t\tFIRMWARE_BUILD_INFO\t\t"
    "\"r\" FIRMWARE_VER_REV_STR \"-\" FIRMWARE_VER_HASH_STR \" \" FIRMWARE_TARGET_STR "
    "\" \"\" built on \" __DATE__ \" \" __TIME__\n";

static const char kBlockOpening[] = "\"\\\n";
static const char kPieceEnd[] = " \\r\\n\\\n";
static const char kBlockClosing[] = "\"\n";

// Appends size bytes escaped for the inside of a C string literal.
static void append_escaped(Bytes &text, const char *bytes, size_t size) {
  for (const char *c = bytes; c < bytes + size; ++c) {
    // Escaped so that a quote or backslash can neither end the literal nor start an escape
    // sequence, no "??" is left for a trigraph under strict C modes, and no control byte or
    // byte that is not ASCII (a Latin-1 name, which clang rejects as source) stands raw: the
    // string's value stays exactly the bytes Git printed.
    const unsigned char byte = static_cast<unsigned char>(*c);
    if (byte < 0x20 || byte >= 0x7F) {
      char escape[8];
      snprintf(escape, sizeof escape, "\\%03o", byte);
      append(text, escape);
      continue;
    }
    if (*c == '"' || *c == '\\' || (*c == '?' && c != bytes && c[-1] == '?')) append(text, "\\");
    append(text, c, 1);
  }
}

// One value macro: "#define", the form's blanks, the name, a blank, then the value's bytes
// between quotes when quoted.
static void append_macro(Bytes &header, const char *define, const char *name, const char *value,
                         size_t size, bool quoted) {
  append(header, define);
  append(header, name);
  append(header, quoted ? " \"" : " ");
  append(header, value, size);
  append(header, quoted ? "\"\n" : "\n");
}

// The four value macros; the two forms differ only in the blanks after "#define".
static void append_values(Bytes &header, const char *define, int count, const char *hash,
                          char state) {
  char number[16];
  snprintf(number, sizeof number, "%d", count);
  append_macro(header, define, "FIRMWARE_VER_REV", number, strlen(number), false);
  append_macro(header, define, "FIRMWARE_VER_REV_STR", number, strlen(number), true);
  // Exactly eight bytes, whatever they hold, so the macro's width never varies.
  append_macro(header, define, "FIRMWARE_VER_HASH_STR", hash, 8, true);
  // A clean tree's byte 0, or the 1 of a failed status pipe, goes in as an octal escape: the
  // macro's value is the same byte, and the header stays text that -Werror builds accept.
  const unsigned char byte = static_cast<unsigned char>(state);
  char letter[8];
  snprintf(letter, sizeof letter, isprint(byte) ? "%c" : "\\%o", byte);
  append_macro(header, define, "FIRMWARE_VER_MULTI", letter, strlen(letter), true);
}

// The opt-in macros, right before the header's last line.
static void append_extra_macros(Bytes &header, const ExtraMacros *extra) {
  if (extra == nullptr) return;
  append(header, "#define FIRMWARE_VER_HEAD_STR \"");
  append_escaped(header, extra->head, strlen(extra->head));
  append(header, "\"\n#define FIRMWARE_VER_DESCRIBE_STR \"");
  append_escaped(header, extra->describe.bytes, extra->describe.size);
  append(header, extra->dirty ? "\"\n#define FIRMWARE_VER_DIRTY 1\n"
                              : "\"\n#define FIRMWARE_VER_DIRTY 0\n");
  append(header,
         extra->valid ? "#define FIRMWARE_VER_VALID 1\n" : "#define FIRMWARE_VER_VALID 0\n");
}

void write_notargeted_file(int count, const char *hash, char state, const ExtraMacros *extra,
                           Bytes &header) {
  append(header, kGuardOpening);
  append_values(header, "#define ", count, hash, state);
  append(header,
         "#define\t\tFIRMWARE_BUILD_INFO\t\t\"r\" FIRMWARE_VER_REV_STR \" built on \" __DATE__ "
         "\" \" __TIME__\n");
  append_extra_macros(header, extra);
  append(header, "#endif // REVISION_H_\n");
}

void write_targeted_file(int count, const char *hash, char state, const Bytes &submodules,
                         const ExtraMacros *extra, Bytes &header) {
  append(header, kGuardOpening);
  append(header, kTargetBlock);
  append_values(header, "#define      ", count, hash, state);
  append(header, state != 0 ? kChangedBuildInfo : kCleanBuildInfo);
  append(header, "#define FIRMWARE_SUBMODULE_REV \\\n");
  print_git_submodule_info(submodules, header);
  append_extra_macros(header, extra);
  append(header, "#endif\n");
}

void print_git_submodule_info(const Bytes &listing, Bytes &header) {
  // An empty literal, when Git never started, keeps the macro defined and the header compilable.
  append(header, kBlockOpening);
  // Cut as a line reader with a buffer of kPieceSize bytes cuts: after a line end, or after
  // kPieceSize - 1 bytes; each piece up to its first zero, CR or LF byte.
  const char *end = listing.bytes + listing.size;
  for (const char *piece = listing.bytes; piece < end;) {
    const char *cut = std::min(piece + (kPieceSize - 1), end);
    const char *line_end =
        static_cast<const char *>(memchr(piece, '\n', static_cast<size_t>(cut - piece)));
    if (line_end != nullptr) cut = line_end + 1;
    size_t visible = 0;
    // strchr finds the terminating zero too: a zero byte ends the piece as CR and LF do.
    while (piece + visible < cut && strchr("\r\n", piece[visible]) == nullptr) ++visible;
    append_escaped(header, piece, visible);
    append(header, kPieceEnd);
    piece = cut;
  }
  append(header, kBlockClosing);
}

#include <cctype>
#include <cerrno>
#include <cstdlib>
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

void append(Text &text, const char *bytes, size_t size) {
  if (text.lost || size == 0) return;
  if (text.size + size > text.capacity) {
    const size_t capacity = 2 * (text.size + size);
    char *grown = static_cast<char *>(realloc(text.bytes, capacity));
    if (grown == nullptr) {
      release(text);
      text.lost = true;
      return;
    }
    text.bytes = grown;
    text.capacity = capacity;
  }
  memcpy(text.bytes + text.size, bytes, size);
  text.size += size;
}

void append(Text &text, const char *string) { append(text, string, strlen(string)); }

void release(Text &text) {
  free(text.bytes);
  text = Text();
}

void append_escaped(Text &text, const char *bytes, size_t size) {
  for (const char *c = bytes; c < bytes + size && *c != '\0'; ++c) {
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
static void append_macro(Text &header, const char *define, const char *name, const char *value,
                         size_t size, bool quoted) {
  append(header, define);
  append(header, name);
  append(header, quoted ? " \"" : " ");
  append(header, value, size);
  append(header, quoted ? "\"\n" : "\n");
}

// The four value macros; the two forms differ only in the blanks after "#define".
static void append_values(Text &header, const char *define, int count, const char *hash,
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

// A compiler or an IDE's indexer holds the header for moments at a time: waiting for it to let
// go, with pauses that add up to about a second, keeps the header whole for every reader.
static Replace place_replacement(const char *name, int &error) {
  Replace placed = replace_file(name, kHeaderPath, error);
  for (int pause = 15; placed == Replace::kHeld && pause <= 480; pause *= 2) {
    pause_milliseconds(pause);
    placed = replace_file(name, kHeaderPath, error);
  }
  return placed;
}

static int write_in_place(const Text &bytes) {
  int error = 0;
  FILE *header = open_in_place(kHeaderPath, error);
  if (header == nullptr) {
    report_failure("fopen failed", error);
    // What a newcomer meets first who runs revstamp in the wrong directory.
    fprintf(stderr,
            "revstamp writes %s, relative to where it runs: run it from a directory whose parent "
            "holds applications/\n",
            kHeaderPath);
    return 1;
  }
  // A full disk shows only when the buffered bytes reach the file: a header cut short must not
  // pass for a written one.
  error = write_and_close(header, bytes.bytes, bytes.size);
  if (error != 0) report_failure("write failed", error);
  return error != 0 ? 1 : 0;
}

// Whoever reads the header meanwhile, a compiler or a second run, finds the previous header or
// the new one, whole: the bytes go to a new file that then takes the header's name in one step.
// What cannot be replaced that way (a link, a device, a directory that refuses a new file) is
// written in place.
static int replace_header(const Text &bytes) {
  char replacement_name[kReplacementNameSize];
  FILE *replacement = create_replacement(kHeaderPath, replacement_name);
  if (replacement == nullptr) return write_in_place(bytes);
  int error = write_and_close(replacement, bytes.bytes, bytes.size);
  const Replace placed = error == 0 ? place_replacement(replacement_name, error) : Replace::kFailed;
  if (placed == Replace::kReplaced) return 0;
  remove(replacement_name);
  if (placed == Replace::kRefused) return write_in_place(bytes);
  if (placed == Replace::kHeld) {
    // Said only once it is true: the in-place write may fail too, and says so itself.
    const int result = write_in_place(bytes);
    if (result == 0) {
      fprintf(stderr, "warning: %s is in use and cannot be replaced: written in place\n",
              kHeaderPath);
    }
    return result;
  }
  report_failure("write failed", error);
  return 1;
}

// Whether the header on disk holds exactly these bytes, read as text as they would be written.
static bool header_holds(const Text &bytes) {
  FILE *old = fopen(kHeaderPath, "r");
  if (old == nullptr) return false;
  char block[4096];
  size_t at = 0;
  bool same = true;
  for (size_t got; same && (got = fread(block, 1, sizeof block, old)) > 0; at += got)
    same = at + got <= bytes.size && memcmp(block, bytes.bytes + at, got) == 0;
  same = same && at == bytes.size && !ferror(old);
  fclose(old);
  return same;
}

// Writes what was composed, then lets it go.
static int write_header(Text &header) {
  // With REVSTAMP_IF_CHANGED=1 an unchanged header keeps its inode and time: nothing that
  // includes it is compiled again.
  const bool unchanged = !header.lost && option_on("REVSTAMP_IF_CHANGED") && header_holds(header);
  const int result = header.lost ? 1 : unchanged ? 0 : replace_header(header);
  if (header.lost) report_failure("write failed", ENOMEM);
  release(header);
  return result;
}

// The opt-in macros, right before the header's last line. Valid only while no failure has been
// reported, everything but the header's own writing being done by now.
static void append_extra_macros(Text &header, const ExtraMacros *extra) {
  if (extra == nullptr) return;
  append(header, "#define FIRMWARE_VER_HEAD_STR \"");
  append(header, extra->head);
  append(header, "\"\n#define FIRMWARE_VER_DESCRIBE_STR \"");
  append_escaped(header, extra->describe.bytes, extra->describe.size);
  append(header, extra->dirty ? "\"\n#define FIRMWARE_VER_DIRTY 1\n"
                              : "\"\n#define FIRMWARE_VER_DIRTY 0\n");
  const bool valid = extra->full_history && run_exit_status() == 0;
  append(header, valid ? "#define FIRMWARE_VER_VALID 1\n" : "#define FIRMWARE_VER_VALID 0\n");
}

int write_notargeted_file(int count, const char *hash, char state, const ExtraMacros *extra) {
  Text header;
  append(header, kGuardOpening);
  append_values(header, "#define ", count, hash, state);
  append(header,
         "#define\t\tFIRMWARE_BUILD_INFO\t\t\"r\" FIRMWARE_VER_REV_STR \" built on \" __DATE__ "
         "\" \" __TIME__\n");
  append_extra_macros(header, extra);
  append(header, "#endif // REVISION_H_\n");
  return write_header(header);
}

int write_targeted_file(int count, const char *hash, char state, SubmoduleListing &submodules,
                        bool history_listed, const ExtraMacros *extra) {
  Text header;
  append(header, kGuardOpening);
  append(header, kTargetBlock);
  append_values(header, "#define      ", count, hash, state);
  append(header, state != 0 ? kChangedBuildInfo : kCleanBuildInfo);
  append(header, "#define FIRMWARE_SUBMODULE_REV \\\n");
  // Git has finished before the header is touched, however long the listing takes.
  print_git_submodule_info(submodules, header, history_listed);
  append_extra_macros(header, extra);
  append(header, "#endif\n");
  return write_header(header);
}

int print_git_submodule_info(SubmoduleListing &listing, Text &header, bool history_listed) {
  // An empty literal, when Git never started, keeps the macro defined and the header compilable.
  append(header, kBlockOpening);
  int exit_code = 0;
  for (int i = 0; i < listing.count; ++i) {
    GitCommand &run = listing.runs[i];
    if (run.start_failed && exit_code == 0) exit_code = 1;
    // After a run that failed, the one command would have printed no more: nor do the others.
    if (run.output != nullptr && exit_code == 0) append_submodule_lines(run.output, header);
    const int run_exit_code = finish_git_command(run);
    if (run_exit_code != 0 && exit_code == 0) {
      check_git_exit(run, run_exit_code, history_listed);
      exit_code = run_exit_code;
    }
  }
  append(header, kBlockClosing);
  free(listing.runs);
  listing = SubmoduleListing();
  return exit_code;
}

void append_submodule_block(FILE *listing, Text &block) {
  append(block, kBlockOpening);
  append_submodule_lines(listing, block);
  append(block, kBlockClosing);
}

void append_submodule_lines(FILE *listing, Text &block) {
  char piece[kPieceSize];
  while (fgets(piece, sizeof piece, listing) != nullptr) {
    append_escaped(block, piece, strcspn(piece, "\r\n"));
    append(block, kPieceEnd);
  }
}

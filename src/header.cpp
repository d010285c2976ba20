#include <cctype>

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

static FILE *open_header() {
  FILE *header = fopen(kHeaderPath, "w+");
  if (header == nullptr) report_failure("fopen failed");
  return header;
}

// A full disk shows only here, when the buffered bytes reach the file: a header cut short must
// not pass for a written one.
static int close_header(FILE *header) {
  if (fflush(header) != 0 || ferror(header) != 0) {
    report_failure("write failed");
    fclose(header);
    return 1;
  }
  if (fclose(header) != 0) {
    report_failure("write failed");
    return 1;
  }
  return 0;
}

// The four value macros; the two forms differ only in the blanks after "#define".
static void write_values(FILE *header, const char *define, int count, const char *hash,
                         char state) {
  fprintf(header, "%sFIRMWARE_VER_REV %d\n", define, count);
  fprintf(header, "%sFIRMWARE_VER_REV_STR \"%d\"\n", define, count);
  // Exactly eight bytes, whatever they hold, so the macro's width never varies.
  fprintf(header, "%sFIRMWARE_VER_HASH_STR \"", define);
  fwrite(hash, 1, 8, header);
  fputs("\"\n", header);
  // A clean tree's byte 0, or the 1 of a failed status pipe, goes in as an octal escape: the
  // macro's value is the same byte, and the header stays text that -Werror builds accept.
  if (isprint(static_cast<unsigned char>(state))) {
    fprintf(header, "%sFIRMWARE_VER_MULTI \"%c\"\n", define, state);
  } else {
    fprintf(header, "%sFIRMWARE_VER_MULTI \"\\%o\"\n", define, static_cast<unsigned char>(state));
  }
}

int write_notargeted_file(int count, const char *hash, char state) {
  FILE *header = open_header();
  if (header == nullptr) return 1;
  fputs(kGuardOpening, header);
  write_values(header, "#define ", count, hash, state);
  fputs(
      "#define\t\tFIRMWARE_BUILD_INFO\t\t\"r\" FIRMWARE_VER_REV_STR \" built on \" __DATE__ "
      "\" \" __TIME__\n",
      header);
  fputs("#endif // REVISION_H_\n", header);
  return close_header(header);
}

int write_targeted_file(int count, const char *hash, char state) {
  FILE *header = open_header();
  if (header == nullptr) return 1;
  fputs(kGuardOpening, header);
  fputs(kTargetBlock, header);
  write_values(header, "#define      ", count, hash, state);
  fputs(state != 0 ? kChangedBuildInfo : kCleanBuildInfo, header);
  fputs("#define FIRMWARE_SUBMODULE_REV \\\n", header);
  print_git_submodule_info(header);
  fputs("#endif\n", header);
  return close_header(header);
}

int print_git_submodule_info(FILE *header) {
  FILE *listing = run_git("git submodule status --recursive");
  if (listing == nullptr) {
    // An empty literal keeps the macro defined and the header compilable.
    fputs(kBlockOpening, header);
    fputs(kBlockClosing, header);
    return 1;
  }
  write_submodule_block(listing, header);
  return close_command_pipe(listing);
}

void write_submodule_block(FILE *listing, FILE *header) {
  fputs(kBlockOpening, header);
  char piece[kPieceSize];
  while (fgets(piece, sizeof piece, listing) != nullptr) {
    for (const char *c = piece; *c != '\0' && *c != '\r' && *c != '\n'; ++c) {
      // Escaped so that a quote or backslash in a path can neither end the literal nor start an
      // escape sequence, and no "??" is left for a trigraph under strict C modes: the macro's
      // value stays exactly what Git printed.
      if (*c == '"' || *c == '\\' || (*c == '?' && c != piece && c[-1] == '?')) {
        fputc('\\', header);
      }
      fputc(*c, header);
    }
    fputs(kPieceEnd, header);
  }
  fputs(kBlockClosing, header);
}

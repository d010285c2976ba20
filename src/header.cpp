#include "git.h"

static FILE *open_header() {
  FILE *header = fopen(kHeaderPath, "w+");
  if (header == nullptr) perror("fopen failed");
  return header;
}

// Exactly eight bytes, whatever they hold, so the macro's width never varies.
static void write_hash_literal(FILE *header, const char *hash) {
  fputc('"', header);
  fwrite(hash, 1, 8, header);
  fputs("\"\n", header);
}

int write_notargeted_file(int count, const char *hash, char state) {
  FILE *header = open_header();
  if (header == nullptr) return 1;
  fputs("#ifndef REVISION_H_\n#define REVISION_H_\n", header);
  fprintf(header, "#define FIRMWARE_VER_REV %d\n", count);
  fprintf(header, "#define FIRMWARE_VER_REV_STR \"%d\"\n", count);
  fputs("#define FIRMWARE_VER_HASH_STR ", header);
  write_hash_literal(header, hash);
  fprintf(header, "#define FIRMWARE_VER_MULTI \"%c\"\n", state);
  fputs(
      "#define\t\tFIRMWARE_BUILD_INFO\t\t\"r\"FIRMWARE_VER_REV_STR\" built on \"__DATE__\" "
      "\"__TIME__\n",
      header);
  fputs("#endif // REVISION_H_\n", header);
  fclose(header);
  return 0;
}

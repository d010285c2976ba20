/* Git for the Windows runs under Wine, built with MinGW-w64: answers with what the real Git
   printed for the same command on Linux, chosen by its arguments (only their letters, digits and
   ._=- kept, the first 200 of them), from <words>.out beside this program, and exits with the
   number in <words>.status; where there is no such answer, with any.out and any.status. Anything
   else it is started as (a command interpreter's "/c ..." included) gets one extra line on
   stdout and exit status 1, and its words a line in unanswered beside this program: a command
   the Linux run never started. An index copy it is handed that is not the index's bytes is
   listed there too. */
#include <ctype.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

/* Opens <word><suffix> beside this program, which may lie in a folder no code page spells. */
static FILE *open_beside(const char *word, const char *suffix, const wchar_t *mode) {
  wchar_t path[MAX_PATH];
  const DWORD size = GetModuleFileNameW(NULL, path, MAX_PATH);
  wchar_t *base = size == 0 ? NULL : wcsrchr(path, L'\\');
  if (base == NULL) return NULL;
  swprintf(base + 1, MAX_PATH - (base + 1 - path), L"%hs%hs", word, suffix);
  return _wfopen(path, mode);
}

/* Adds line to unanswered, beside this program. */
static void note_unanswered(const char *line) {
  FILE *unanswered = open_beside("unanswered", "", L"a");
  if (unanswered == NULL) return;
  fprintf(unanswered, "%s\n", line);
  fclose(unanswered);
}

/* Whether an index copy named in GIT_INDEX_FILE (.index.revstamp-XXXXXX) holds other bytes than
   the index beside it, as a copy written in text mode would. */
static int index_copy_differs(void) {
  const char *copy = getenv("GIT_INDEX_FILE");
  const char *mark = copy == NULL ? NULL : strstr(copy, ".index.revstamp-");
  if (mark == NULL) return 0;
  char index[4096];
  snprintf(index, sizeof index, "%.*sindex", (int)(mark - copy), copy);
  FILE *copied = fopen(copy, "rb"), *original = fopen(index, "rb");
  int differs = copied == NULL || original == NULL, got = 0;
  while (!differs && got != EOF) differs = (got = getc(copied)) != getc(original);
  if (copied != NULL) fclose(copied);
  if (original != NULL) fclose(original);
  return differs;
}

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  if (index_copy_differs()) note_unanswered("index copy differs from the index");
  char words[201];
  size_t size = 0;
  for (int i = 1; i < argc; ++i)
    for (const char *c = argv[i]; *c != '\0' && size < sizeof words - 1; ++c)
      if (isalnum((unsigned char)*c) || strchr("._=-", *c) != NULL) words[size++] = *c;
  words[size] = '\0';
  FILE *answer = open_beside(words, ".out", L"rb");
  if (answer == NULL && (answer = open_beside("any", ".out", L"rb")) != NULL) strcpy(words, "any");
  if (answer == NULL) {
    note_unanswered(words);
    printf("stand-in: not an answer\n");
    return 1;
  }
  _setmode(_fileno(stdout), _O_BINARY);
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, answer)) > 0) fwrite(buffer, 1, got, stdout);
  fclose(answer);
  FILE *status = open_beside(words, ".status", L"r");
  /* Read whole, as Windows' status codes (0xC0000005) pass INT_MAX. */
  char text[32];
  const unsigned long code =
      status != NULL && fgets(text, sizeof text, status) != NULL ? strtoul(text, NULL, 10) : 2;
  if (status != NULL) fclose(status);
  return (int)code;
}

#include <cstring>

#include "revstamp.h"

FILE *run_git(const char *command) {
  FILE *pipe = open_command_pipe(command);
  if (pipe == nullptr) report_failure("popen failed");
  return pipe;
}

int count_pieces_keeping_last(FILE *in, char *buf, int size) {
  // A read that meets the end of the stream leaves buf alone, so the last piece stays.
  int count = 0;
  while (fgets(buf, size, in) != nullptr) ++count;
  return count;
}

// The table's order decides when a piece holds more than one marker. After the four markers,
// the labels of changes that have no letter of their own (a file turned into a link, merge
// conflicts, copies) stamp as modified rather than as a clean tree.
static int marker_letter(const char *piece) {
  static const struct {
    const char *text;
    char letter;
  } kMarkers[] = {{"modified:", 'M'},        {"new file", 'N'},       {"deleted:", 'D'},
                  {"renamed:", 'R'},         {"typechange:", 'M'},    {"both added:", 'M'},
                  {"added by us:", 'M'},     {"added by them:", 'M'}, {"deleted by us:", 'M'},
                  {"deleted by them:", 'M'}, {"copied:", 'M'}};
  for (const auto &marker : kMarkers)
    if (strstr(piece, marker.text) != nullptr) return marker.letter;
  return 0;
}

int scan_status(FILE *in, FILE *echo) {
  char piece[kPieceSize];
  while (fgets(piece, sizeof piece, in) != nullptr) {
    fprintf(echo, "%s\n", piece);
    int letter = marker_letter(piece);
    if (letter != 0) return letter;
  }
  return 0;
}

int find_git_revision_number(char *hash, int size) {
  // The history walk is the one cost that grows with the repository: one walk gives both facts.
  // A shallow clone's history is cut short; asking in the same command line spares a shell.
  FILE *listing = run_git("git rev-parse --is-shallow-repository && git rev-list HEAD");
  if (listing == nullptr) return 1;
  char answer[16] = "";
  const bool shallow =
      fgets(answer, sizeof answer, listing) != nullptr && strcmp(answer, "true\n") == 0;
  // Git lists HEAD first: the last line is the oldest commit, which stays put as history grows.
  int count = count_pieces_keeping_last(listing, hash, size);
  if (count > 0) note_history_listed(shallow);
  report_git_exit("git rev-list HEAD", close_command_pipe(listing));
  return count;
}

int get_git_state() {
  // The long format without colour or columns, whatever the user's configuration asks for: the
  // markers are only found there, and the echo stays plain text.
  static const char kCommand[] = "git -c color.status=never status --long --no-column";
  FILE *status = run_git(kCommand);
  if (status == nullptr) return 1;
  // Stops at the deciding piece: closing early discards the rest unread and unechoed, and what
  // Git makes of that is no failure of its own.
  int letter = scan_status(status, stdout);
  const int exit_code = close_command_pipe(status);
  if (letter == 0) report_git_exit(kCommand, exit_code);
  return letter;
}

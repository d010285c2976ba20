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

// The table's order decides when a piece holds more than one marker.
static int marker_letter(const char *piece) {
  static const struct {
    const char *text;
    char letter;
  } kMarkers[] = {{"modified:", 'M'}, {"new file", 'N'}, {"deleted:", 'D'}, {"renamed:", 'R'}};
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
  FILE *listing = run_git("git rev-list HEAD");
  if (listing == nullptr) return 1;
  // Git lists HEAD first: the last line is the oldest commit, which stays put as history grows.
  int count = count_pieces_keeping_last(listing, hash, size);
  close_command_pipe(listing);
  return count;
}

int get_git_state() {
  FILE *status = run_git("git status");
  if (status == nullptr) return 1;
  // Stops at the deciding piece: closing early discards the rest unread and unechoed.
  int letter = scan_status(status, stdout);
  close_command_pipe(status);
  return letter;
}

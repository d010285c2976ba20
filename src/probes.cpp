#include <cstring>

#include "revstamp.h"

// "git: not found" once, for the first command it stops; the others stay as quiet.
static GitCommand start_command(const char *name, const char *const args[], bool &told_missing) {
  GitCommand command;
  command.name = name;
  const int started = start_git(args, &command.output, &command.process);
  if (started == kGitNotFound && !told_missing) {
    fprintf(stderr, "git: not found\n");
    told_missing = true;
  } else if (started == 1) {
    report_failure("popen failed");
    command.start_failed = true;
  }
  return command;
}

GitCommands start_git_commands(bool targeted) {
  // A stamp costs the slowest of Git's commands rather than their sum. Each is read in turn
  // later; meanwhile the others run on until their pipes fill.
  static const char *const kShallowProbe[] = {"rev-parse", "--is-shallow-repository", nullptr};
  // The "--" keeps a file or folder named HEAD from making the revision ambiguous.
  static const char *const kHistory[] = {"rev-list", "HEAD", "--", nullptr};
  // The long format without colour or columns, whatever the user's configuration asks for: the
  // markers are only found there, and the echo stays plain text.
  static const char *const kStatus[] = {
      "-c",     "color.status=never", "-c",   "status.displayCommentPrefix=false", "status",
      "--long", "--no-column",        nullptr};
  static const char *const kSubmodules[] = {"submodule", "status", "--recursive", nullptr};
  bool told_missing = false;
  GitCommands git;
  git.shallow_probe =
      start_command("git rev-parse --is-shallow-repository", kShallowProbe, told_missing);
  git.history = start_command("git rev-list HEAD", kHistory, told_missing);
  git.status = start_command(
      "git -c color.status=never -c status.displayCommentPrefix=false status --long --no-column",
      kStatus, told_missing);
  if (targeted)
    git.submodules = start_command("git submodule status --recursive", kSubmodules, told_missing);
  return git;
}

int finish_command(GitCommand &command) {
  if (command.output == nullptr) return 0;
  const int exit_code = finish_git(command.output, command.process);
  command.output = nullptr;
  return exit_code;
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
  // Git starts every change and untracked entry with a TAB. Other lines (headings, hints, the
  // commands and subjects of a rebase in progress) may hold a marker's words but never decide.
  bool in_entry = false;
  bool line_start = true;
  char piece[kPieceSize];
  while (fgets(piece, sizeof piece, in) != nullptr) {
    fprintf(echo, "%s\n", piece);
    if (line_start) in_entry = piece[0] == '\t';
    const size_t size = strlen(piece);
    line_start = size < sizeof piece - 1 || piece[size - 1] == '\n';
    const int letter = in_entry ? marker_letter(piece) : 0;
    if (letter != 0) return letter;
  }
  return 0;
}

// Reads what is left, so that a command is not cut off mid-answer and seen failing.
static void read_to_end(FILE *in) {
  char rest[128];
  while (fgets(rest, sizeof rest, in) != nullptr) {
  }
}

// Whether HEAD names an object: asked only when the history listing failed, to tell a broken
// repository from an unborn branch or no repository at all.
static bool head_names_object() {
  static const char *const kVerifyHead[] = {"rev-parse", "-q", "--verify", "HEAD", nullptr};
  bool told_missing = true;
  GitCommand verify = start_command("git rev-parse -q --verify HEAD", kVerifyHead, told_missing);
  if (verify.output == nullptr) return false;
  read_to_end(verify.output);
  return finish_command(verify) == 0;
}

// Only a first line that is "true" says shallow: Git before 2.15 echoes the option back.
static bool read_shallow_answer(GitCommand &probe) {
  if (probe.output == nullptr) return false;
  char line[16] = "";
  const bool shallow =
      fgets(line, sizeof line, probe.output) != nullptr && strcmp(line, "true\n") == 0;
  read_to_end(probe.output);
  return shallow;
}

int find_git_revision_number(GitCommand &shallow_probe, GitCommand &history, char *hash, int size) {
  const bool probe_started = shallow_probe.output != nullptr;
  const bool shallow = read_shallow_answer(shallow_probe);
  const int probe_exit_code = finish_command(shallow_probe);
  if (probe_started) check_git_dir(probe_exit_code == 0);
  if (history.start_failed) return 1;
  // The history walk is the one cost that grows with the repository: one walk gives both facts.
  // Git's listing arrives in fewer, larger reads than the default buffer allows, which spares
  // this reader and Git many wake-ups on long histories.
  static char buffer[1 << 16];
  int count = 0;
  if (history.output != nullptr) {
    setvbuf(history.output, buffer, _IOFBF, sizeof buffer);
    // Git lists HEAD first: the last line is the oldest commit, which stays put as history grows.
    count = count_pieces_keeping_last(history.output, hash, size);
  }
  if (count > 0) note_history_listed(shallow);
  report_git_exit(shallow_probe.name, probe_exit_code);
  const int exit_code = finish_command(history);
  // A repository whose HEAD Git cannot walk (a missing object, a pruned --shared source) lists
  // nothing, as a source tarball does; only the tarball may stamp the placeholder.
  if (count == 0 && exit_code != 0 && head_names_object()) {
    report_git_failure(history.name, exit_code);
  } else {
    report_git_exit(history.name, exit_code);
  }
  return count;
}

int get_git_state(GitCommand &status) {
  if (status.start_failed) return 1;
  // Stops at the deciding piece: closing early discards the rest unread and unechoed, and what
  // Git makes of that is no failure of its own.
  const int letter = status.output != nullptr ? scan_status(status.output, stdout) : 0;
  const int exit_code = finish_command(status);
  if (letter == 0) report_git_exit(status.name, exit_code);
  return letter;
}

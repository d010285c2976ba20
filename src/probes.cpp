#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "revstamp.h"

// Each command's words after "git", and how many of them its reports name. The table's order is
// GitCommandId's.
static const struct {
  const char *args[kMaxGitArgs + 1];
  int named;
} kGitCommands[] = {
    {{"rev-parse", "--is-shallow-repository"}, kMaxGitArgs},
    // The "--" keeps a file or folder named HEAD from making the revision ambiguous.
    {{"rev-list", "HEAD", "--"}, 2},
    // The long format without colour or columns, whatever the user's configuration asks for:
    // the markers are only found there, and the echo stays plain text.
    {{"-c", "color.status=never", "-c", "status.displayCommentPrefix=false", "status", "--long",
      "--no-column"},
     kMaxGitArgs},
    {{"submodule", "status", "--recursive"}, kMaxGitArgs},
    // Whether HEAD names an object: asked only when the history listing failed.
    {{"rev-parse", "-q", "--verify", "HEAD"}, kMaxGitArgs},
    // The whole index, whatever directory revstamp runs in, with paths from the top: the
    // submodules are its gitlinks.
    {{"ls-files", "-s", "-z", "--full-name", "--", ":(top)"}, kMaxGitArgs},
    {{"describe", "--tags", "--always", "--abbrev=8", "HEAD"}, kMaxGitArgs},
};

void prepare_git_environment() {
  // The environment keeps these strings, so they live as long as the process.
  static char assignments[][24] = {
      // The change markers are English: a translated Git would stamp a modified tree as clean.
      "LC_ALL=C",
      // Without it git status refreshes and rewrites .git/index, taking index.lock from under a
      // commit the user makes at the same moment.
      "GIT_OPTIONAL_LOCKS=0",
      // Into a pipe Git flushes after every line: a write, and a wake-up of this reader, per
      // commit. Block-buffered, the history listing costs about half as much, same bytes.
      "GIT_FLUSH=0"};
  for (char *assignment : assignments) set_environment(assignment);
}

// "git: not found" once, for the first command it stops; the others stay as quiet. args are the
// table's words for the command, or more.
static GitCommand start_git_command(GitCommandId id, bool &told_missing,
                                    const char *const *args = nullptr) {
  GitCommand command;
  command.id = id;
  int error = 0;
  const Start started = spawn_git(args != nullptr ? args : kGitCommands[id].args, command, error);
  if (started == Start::kGitNotFound && !told_missing) {
    fprintf(stderr, "git: not found\n");
    told_missing = true;
  } else if (started == Start::kFailed) {
    report_failure("popen failed", error);
    command.start_failed = true;
  }
  return command;
}

// The submodules' paths from the top, each once (a conflict lists a gitlink in three stages), in
// index order, as zero-ended strings one after another in paths; how many. -1 when the index
// could not be listed.
static int read_gitlinks(Text &paths) {
  GitCommand index;
  index.id = kGitlinks;
  int error = 0;
  if (spawn_git(kGitCommands[kGitlinks].args, index, error) != Start::kStarted) return -1;
  Text listing;
  char block[4096];
  for (size_t got; (got = fread(block, 1, sizeof block, index.output)) > 0;)
    append(listing, block, got);
  append(listing, "", 1);
  const bool listed = finish_git_command(index) == 0 && !listing.lost;
  int count = 0;
  const char *last = "";
  for (const char *record = listing.bytes; listed && record < listing.bytes + listing.size - 1;
       record += strlen(record) + 1) {
    const char *tab = strchr(record, '\t');
    if (strncmp(record, "160000 ", 7) != 0 || tab == nullptr || strcmp(tab + 1, last) == 0)
      continue;
    last = tab + 1;
    append(paths, last, strlen(last) + 1);
    ++count;
  }
  release(listing);
  return listed && !paths.lost ? count : -1;
}

// Starts git submodule status --recursive for the paths[0..count) as literal pathspecs from the
// top, so that names with *, ?, [ or : match only themselves.
static GitCommand start_listing_run(const char *const *paths, int count, bool &told_missing) {
  static const char kMagic[] = ":(top,literal)";
  const char **args = static_cast<const char **>(malloc((count + 5) * sizeof *args));
  char **pathspecs = static_cast<char **>(calloc(count + 1, sizeof *pathspecs));
  bool built = args != nullptr && pathspecs != nullptr;
  int n = 0;
  for (const char *const *word = kGitCommands[kSubmodules].args; built && *word != nullptr; ++word)
    args[n++] = *word;
  if (built) args[n++] = "--";
  for (int i = 0; i < count && built; ++i) {
    const size_t size = sizeof kMagic + strlen(paths[i]);
    pathspecs[i] = static_cast<char *>(malloc(size));
    built = pathspecs[i] != nullptr;
    if (built) snprintf(pathspecs[i], size, "%s%s", kMagic, paths[i]);
    if (built) args[n++] = pathspecs[i];
  }
  GitCommand run;
  run.id = kSubmodules;
  if (built) {
    args[n] = nullptr;
    run = start_git_command(kSubmodules, told_missing, args);
  } else {
    report_failure("popen failed", ENOMEM);
    run.start_failed = true;
  }
  for (int i = 0; pathspecs != nullptr && pathspecs[i] != nullptr; ++i) free(pathspecs[i]);
  free(pathspecs);
  free(args);
  return run;
}

// git submodule status --recursive describes one submodule after another, each on one core: with
// four or more, their runs in index order are listed side by side, one run per processor (at
// most 8, and at most one per two submodules), cut further where a command line would grow past
// the platform's limit. Any failure to list the index leaves the one command.
static SubmoduleListing start_submodule_listing(bool &told_missing) {
  SubmoduleListing listing;
  Text paths;
  const int count = read_gitlinks(paths);
  const int processors = online_processors();
  int runs = count / 2;
  if (runs > processors) runs = processors;
  if (runs > 8) runs = 8;
  const char **path = static_cast<const char **>(malloc((count > 0 ? count : 1) * sizeof *path));
  listing.runs = static_cast<GitCommand *>(calloc(count > 0 ? count : 1, sizeof *listing.runs));
  if (listing.runs == nullptr) {
    report_failure("popen failed", ENOMEM);
  } else if (count < 4 || runs < 2 || path == nullptr) {
    listing.runs[listing.count++] = start_git_command(kSubmodules, told_missing);
  } else {
    for (int i = 0, at = 0; i < count; at += static_cast<int>(strlen(paths.bytes + at)) + 1)
      path[i++] = paths.bytes + at;
    // Worst case on Windows, every character escaped: twice its length, quotes and a blank.
    const size_t budget = kCommandLineLimit - 1024;
    for (int share = 0; share < runs; ++share) {
      const int share_end = static_cast<int>((share + 1L) * count / runs);
      for (int first = static_cast<int>(share * static_cast<long>(count) / runs), end = first;
           first < share_end; first = end) {
        for (size_t size = 0; end < share_end; ++end) {
          size += 2 * (strlen(path[end]) + 14) + 3;
          if (end > first && size > budget) break;
        }
        listing.runs[listing.count++] = start_listing_run(path + first, end - first, told_missing);
      }
    }
  }
  free(path);
  release(paths);
  return listing;
}

GitCommands start_git_commands(bool targeted, bool extra_macros) {
  // A stamp costs the slowest of Git's commands rather than their sum. Each is read in turn
  // later; meanwhile the others run on until their pipes fill.
  bool told_missing = false;
  GitCommands git;
  git.shallow_probe = start_git_command(kShallowProbe, told_missing);
  git.history = start_git_command(kHistory, told_missing);
  git.status = start_git_command(kStatus, told_missing);
  if (extra_macros) git.describe = start_git_command(kDescribe, told_missing);
  if (targeted) git.submodules = start_submodule_listing(told_missing);
  return git;
}

int finish_git_command(GitCommand &command) {
  if (command.output == nullptr) return 0;
  const int exit_code = wait_for_git(command);
  command.output = nullptr;
  return exit_code;
}

static void report_git_exit_status(const GitCommand &command, int exit_code) {
  // One write: Git's own complaints reach stderr meanwhile.
  char name[256] = "git";
  const auto &entry = kGitCommands[command.id];
  for (int i = 0; i < entry.named && entry.args[i] != nullptr; ++i)
    snprintf(name + strlen(name), sizeof name - strlen(name), " %s", entry.args[i]);
  // Windows' NTSTATUS codes (a crash, a missing DLL) in hex, the form they are looked up in.
  const unsigned code = static_cast<unsigned>(exit_code);
  if (code >= 0xC0000000u && exit_code != -1) {
    fprintf(stderr, "%s failed: exit status 0x%08X\n", name, code);
  } else {
    fprintf(stderr, "%s failed: exit status %d\n", name, exit_code);
  }
  mark_run_failed();
}

void check_git_exit(const GitCommand &command, int exit_code, bool history_listed) {
  // Before Git has listed a commit, Git refusing is how a source tarball or a missing Git shows.
  if (exit_code != 0 && history_listed) report_git_exit_status(command, exit_code);
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

int scan_status(FILE *in, Console &echo) {
  // Git starts every change and untracked entry with a TAB. Other lines (headings, hints, the
  // commands and subjects of a rebase in progress) may hold a marker's words but never decide.
  bool in_entry = false;
  bool line_start = true;
  char piece[kPieceSize];
  while (fgets(piece, sizeof piece, in) != nullptr) {
    const size_t size = strlen(piece);
    write_console(echo, piece, size);
    write_console(echo, "\n", 1);
    if (line_start) in_entry = piece[0] == '\t';
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

// Tells a broken repository from an unborn branch or no repository at all.
static bool head_names_object() {
  bool told_missing = true;
  GitCommand verify = start_git_command(kVerifyHead, told_missing);
  if (verify.output == nullptr) return false;
  read_to_end(verify.output);
  return finish_git_command(verify) == 0;
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

History find_git_revision_number(GitCommand &shallow_probe, GitCommand &history, char *hash,
                                 int size) {
  const bool probe_started = shallow_probe.output != nullptr;
  const bool shallow = read_shallow_answer(shallow_probe);
  const int probe_exit_code = finish_git_command(shallow_probe);
  if (probe_started) check_git_dir(probe_exit_code == 0);
  History found;
  if (history.start_failed) {
    found.count = 1;
    return found;
  }
  // The history walk is the one cost that grows with the repository: one walk gives both facts.
  // Git's listing arrives in fewer, larger reads than the default buffer allows, which spares
  // this reader and Git many wake-ups on long histories.
  static char buffer[1 << 16];
  if (history.output != nullptr) {
    setvbuf(history.output, buffer, _IOFBF, sizeof buffer);
    // Git lists HEAD first: the last line is the oldest commit, which stays put as history grows.
    if (fgets(hash, size, history.output) != nullptr) {
      snprintf(found.head, sizeof found.head, "%.*s", static_cast<int>(strcspn(hash, "\r\n")),
               hash);
      found.count = 1 + count_pieces_keeping_last(history.output, hash, size);
    }
  }
  found.listed = found.count > 0;
  found.shallow = found.listed && shallow;
  check_git_exit(shallow_probe, probe_exit_code, found.listed);
  const int exit_code = finish_git_command(history);
  // A repository whose HEAD Git cannot walk (a missing object, a pruned --shared source) lists
  // nothing, as a source tarball does; only the tarball may stamp the placeholder. Git's own
  // refusals all exit with 128: any other status is a Git that could not run (a crash, a
  // missing DLL, a broken shim or wrapper).
  if (found.count == 0 && exit_code != 0 && (exit_code != 128 || head_names_object())) {
    report_git_exit_status(history, exit_code);
  } else {
    check_git_exit(history, exit_code, found.listed);
  }
  return found;
}

void read_describe(GitCommand &describe, bool history_listed, Text &text) {
  char line[kPieceSize] = "";
  const bool answered = describe.output != nullptr && fgets(line, sizeof line, describe.output);
  if (answered) read_to_end(describe.output);
  check_git_exit(describe, finish_git_command(describe), history_listed);
  // A placeholder stamp names nothing.
  if (answered && history_listed) append(text, line, strcspn(line, "\r\n"));
}

int get_git_state(GitCommand &status, Console &console, bool history_listed) {
  if (status.start_failed) return 1;
  // Stops at the deciding piece: closing early discards the rest unread and unechoed, and what
  // Git makes of that is no failure of its own.
  const int letter = status.output != nullptr ? scan_status(status.output, console) : 0;
  const int exit_code = finish_git_command(status);
  if (letter == 0) check_git_exit(status, exit_code, history_listed);
  return letter;
}

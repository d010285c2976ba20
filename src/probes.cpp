#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "revstamp.h"

enum Need { kEveryRun, kExtraMacros, kWithoutCache, kAsked };

// Where the kept history records live, in Git's common directory: the probe's second line.
static const char kRecordsPath[] = "info/revstamp-cache";

// Each command's words after "git", how many of them its reports name, and when it is started.
// The table's order is GitCommandId's.
static const struct {
  const char *args[kMaxGitArgs + 1];
  int named;
  Need need;
} kGitCommands[kGitCommandCount] = {
    // Which Git this is, started before the others: how git status is to be started depends on
    // it, some list submodules wrongly from below the top, and a kept history listing is Git's own.
    {{"version"}, 0, kAsked},
    // Whether Git finds a repository, and whether its clone is shallow (Git before 2.15 echoes
    // the option back). Then what a kept history listing is filed under: where the records live
    // (the common directory's info/, shared by linked worktrees); where a grafts file
    // (GIT_GRAFT_FILE, or the common directory's), replace refs, loose or packed, and a reftable
    // would be; and HEAD's object. -q --verify prints HEAD last, or nothing and exits 1 without a
    // word where it names no single commit: an unborn branch, or a Git before 2.5, which knows no
    // --git-path. Plain "HEAD" passes a batch-file Git's cmd.exe unchanged.
    {{"rev-parse", "--is-shallow-repository", "-q", "--verify", "--git-path", kRecordsPath,
      "--git-path", "info/grafts", "--git-path", "refs/replace", "--git-path", "packed-refs",
      "--git-path", "reftable", "HEAD"},
     2,
     kEveryRun},
    // The "--" keeps a file or folder named HEAD from making the revision ambiguous.
    {{"rev-list", "HEAD", "--"}, 2, kWithoutCache},
    // The long format without colour or columns, whatever the user's configuration asks for:
    // the markers are only found there, and the echo stays plain text. Started once Git's
    // version is known.
    {{"-c", "color.status=never", "-c", "status.displayCommentPrefix=false", "status", "--long",
      "--no-column"},
     kMaxGitArgs,
     kAsked},
    {{"describe", "--tags", "--always", "--abbrev=8", "HEAD"}, kMaxGitArgs, kExtraMacros},
    {{"submodule", "status", "--recursive"}, kMaxGitArgs, kAsked},
    // Whether HEAD names an object, and which branch it names: asked only when the history
    // listing failed.
    {{"rev-parse", "-q", "--verify", "HEAD"}, kMaxGitArgs, kAsked},
    {{"symbolic-ref", "-q", "HEAD"}, kMaxGitArgs, kAsked},
    // The whole index, whatever directory revstamp runs in, with paths relative to it: the
    // submodules are its gitlinks. Asked by the submodule listing, which gets round its failure.
    {{"ls-files", "-s", "-z", "--", ":(top)"}, 0, kAsked},
    // Where the shallow file is, for a Git before 2.15 that does not answer the probe: the Git
    // directory, and the common one of a linked worktree (Git 2.5 and later); and where the
    // index is, for a Git before 2.13.
    {{"rev-parse", "--git-dir", "--git-common-dir"}, kMaxGitArgs, kAsked},
    // The way up to the top of the work tree ("../" as often as needed, so one line), and the
    // way from there down to the working directory, whose folders' names may hold line ends.
    {{"rev-parse", "--show-cdup", "--show-prefix"}, kMaxGitArgs, kAsked},
    // The walk a record may be kept from, each commit's line headed by the date Git ordered it by.
    {{"rev-list", "HEAD", "--timestamp", "--"}, 2, kAsked},
    // A commit's own object, for the date in it: the walk may have read another from a graph.
    {{"cat-file", "commit"}, 0, kAsked},
    // The index file (GIT_INDEX_FILE when set), which a private copy is made of.
    {{"rev-parse", "--git-path", "index"}, 0, kAsked},
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

GitCommand start_git_command(GitCommandId id, const Launch &launch) {
  GitCommand command;
  command.id = id;
  int error = 0;
  command.progress = spawn_git(kGitCommands[id].args, launch, command, error);
  // A hidden command's reader gets round its failure: nothing to report.
  if (command.progress == Progress::kStartFailed && launch.errors != Errors::kHidden)
    report_failure("popen failed", error);
  return command;
}

// Reads git version to its end; nothing when it was not started or failed. What sets one Git
// apart from another is decided here, once, from its number.
static GitVersion read_git_version(GitCommand &command) {
  GitVersion version;
  Bytes answer;
  const bool told = read_all(command, answer);
  append(answer, "", 1);
  int major = 0, minor = 0, patch = 0;
  if (told && sscanf(answer.bytes, "git version %d.%d.%d", &major, &minor, &patch) >= 2) {
    snprintf(version.text, sizeof version.text, "%.*s",
             static_cast<int>(strcspn(answer.bytes, "\r\n")), answer.bytes);
    const long number = major * 10000L + minor * 100L + patch;
    version.can.find_index_from_here = number >= 21300;
    version.can.leave_index_alone = number >= 21500;
    version.can.list_submodules_from_here = number >= 10804 && (number < 21600 || number >= 22500);
  }
  release(answer);
  return version;
}

static const char kIndexFileAssignment[] = "GIT_INDEX_FILE=";

// Copies what is left of in to out in blocks, then closes out: true when every byte went.
static bool copy_and_close(FILE *in, FILE *out) {
  char block[1 << 16];
  bool written = true;
  for (size_t got; written && (got = fread(block, 1, sizeof block, in)) > 0;)
    written = fwrite(block, 1, got, out) == got;
  return write_and_close(out, "", 0) == 0 && written && ferror(in) == 0;
}

// Copies the index Git reads to a new file beside it, named by its full path in the copy: Git
// reads a relative GIT_INDEX_FILE from the top of the work tree, and the copy is removed from
// wherever the run stands then. Git writes an index whole under another name and renames it into
// place, so the file opened is one index, whole. The copy keeps the index's time, as Git's check
// for entries changed in the second the index was written needs. Git before 2.13 gives
// --git-path from the top rather than from here, and before 2.5 has none: there the Git
// directory, which every Git gives rightly, leads to the index. Such a Git with GIT_INDEX_FILE
// set (a commit hook's) reads that file itself: no copy. One copy serves the whole run.
bool copy_index(GitCommands &git) {
  if (git.index_copy.size > 0) return true;
  const bool by_git_path = git.version.can.find_index_from_here;
  if (!by_git_path && getenv("GIT_INDEX_FILE") != nullptr) return false;
  Bytes path, full;
  Launch quietly;
  quietly.errors = Errors::kHidden;
  const bool named = ask_git(by_git_path ? kIndexPath : kGitDir, path, quietly);
  next_line(path.bytes);
  if (named && !by_git_path) {
    path.size = strlen(path.bytes);
    append(path, "/index", 7);
  }
  FILE *index = named && append_full_path(path.bytes, full) ? open_to_read(full.bytes) : nullptr;
  // What runs that were killed left beside the index goes first.
  if (index != nullptr) sweep_held_copies(full.bytes);
  char name[kReplacementNameSize];
  FILE *file = index != nullptr ? create_held_copy(full.bytes, name) : nullptr;
  const bool copied =
      file != nullptr && copy_and_close(index, file) && copy_modification_time(index, name) == 0;
  if (copied) {
    append(git.index_copy, kIndexFileAssignment);
    append(git.index_copy, name, strlen(name) + 1);
  } else if (file != nullptr) {
    remove_held_copy(name);
  }
  if (index != nullptr) fclose(index);
  release(full);
  release(path);
  return copied;
}

void remove_index_copy(GitCommands &git) {
  if (git.index_copy.size > 0)
    remove_held_copy(git.index_copy.bytes + sizeof kIndexFileAssignment - 1);
  release(git.index_copy);
}

// Whether a command of this need starts with the others, before any is read.
static bool starts_at_once(Need need, const Options &options) {
  return need == kEveryRun || (need == kExtraMacros && options.extra_macros) ||
         (need == kWithoutCache && options.no_cache);
}

GitCommands start_git_commands(const Options &options) {
  // A stamp costs the slowest of Git's commands rather than their sum. Each is read in turn
  // later; meanwhile the others run on until their pipes fill.
  GitCommands git;
  // A Git that cannot say its version still stamps, as a current one.
  Launch quietly;
  quietly.errors = Errors::kHidden;
  git.command[kVersion] = start_git_command(kVersion, quietly);
  for (int id = 0; id < kGitCommandCount; ++id) {
    if (starts_at_once(kGitCommands[id].need, options))
      git.command[id] = start_git_command(static_cast<GitCommandId>(id));
  }
  git.version = read_git_version(git.command[kVersion]);
  // Git before 2.15 ignores GIT_OPTIONAL_LOCKS: its status would rewrite .git/index, and hold
  // index.lock meanwhile, from under the user's own git add in another terminal. It reads a
  // private copy instead; it may rewrite that one.
  const bool copied = !git.version.can.leave_index_alone && copy_index(git);
  const char *index_copy[] = {git.index_copy.bytes, nullptr};
  Launch status;
  if (copied) status.assignments = index_copy;
  git.command[kStatus] = start_git_command(kStatus, status);
  return git;
}

void finish_git_command(GitCommand &command) {
  if (command.progress != Progress::kRunning) return;
  command.exit_code = wait_for_git(command);
  command.progress = Progress::kFinished;
}

// Whether a command ran to its end and exited 0: the one way Git says it went right.
static bool exited_zero(const GitCommand &command) {
  return command.progress == Progress::kFinished && command.exit_code == 0;
}

bool check_git_exit(const GitCommand &command, bool counts) {
  const bool failed = counts && command.progress == Progress::kFinished && command.exit_code != 0;
  if (failed) {
    char name[256] = "git";
    const auto &entry = kGitCommands[command.id];
    for (int i = 0; i < entry.named && entry.args[i] != nullptr; ++i)
      snprintf(name + strlen(name), sizeof name - strlen(name), " %s", entry.args[i]);
    char code[16];
    describe_exit_code(command.exit_code, code);
    report("%s failed: exit status %s", name, code);
  }
  return !failed && command.progress != Progress::kStartFailed;
}

bool ask_git(GitCommandId id, Bytes &answer, const Launch &launch) {
  GitCommand command = start_git_command(id, launch);
  const bool exited_0 = read_all(command, answer);
  append(answer, "", 1);
  return exited_0;
}

bool read_all(GitCommand &command, Bytes &text) {
  // The exit status decides: a read that fails ends the bytes early, as the stream's end does.
  if (command.output != nullptr) append_stream(command.output, text, SIZE_MAX);
  finish_git_command(command);
  return exited_zero(command);
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
    // Git before 1.8.5 starts every line with "#", an entry with "#" and a TAB.
    if (line_start) in_entry = piece[0] == '\t' || (piece[0] == '#' && piece[1] == '\t');
    line_start = size < sizeof piece - 1 || piece[size - 1] == '\n';
    const int letter = in_entry ? marker_letter(piece) : 0;
    if (letter != 0) return letter;
  }
  return 0;
}

// Whether the repository holds a file named shallow, as Git before 2.15 keeps a shallow clone:
// in the Git directory, or in the common one, where Git 2.5 to 2.14 keep it for a linked
// worktree. Git before 2.5 has no linked worktrees, and echoes the option it does not know.
static bool shallow_file_found() {
  Bytes answer;
  const bool told = ask_git(kGitDir, answer);
  bool found = false;
  for (char *line = answer.bytes, *next; told && *line != '\0'; line = next) {
    next = next_line(line);
    Bytes path;
    append(path, line);
    append(path, "/shallow", 9);
    found |= strcmp(line, "--git-common-dir") != 0 && kind_of(path.bytes) == EntryKind::kRegular;
    release(path);
  }
  release(answer);
  return found;
}

ShallowProbe read_shallow_probe(GitCommand &probe, Bytes &answer) {
  // Read to its end, so that the probe is not cut off mid-answer and seen failing. Its first line
  // is "true" for shallow, "false" for not, or, from Git before 2.15, the option echoed back:
  // any of them says Git found a repository, as outside one it prints nothing.
  ShallowProbe found;
  found.whole = read_all(probe, answer);
  append(answer, "", 1);
  const bool said_shallow = strncmp(answer.bytes, "true\n", 5) == 0;
  const bool echoed = strncmp(answer.bytes, "--is-shallow-repository\n", 24) == 0;
  found.said_itself = said_shallow || strncmp(answer.bytes, "false\n", 6) == 0;
  found.repository_found = found.said_itself || echoed;
  found.shallow = said_shallow || (echoed && shallow_file_found());
  return found;
}

bool find_in_common_dir(const Bytes &answer, const GitVersion &version, const char *name,
                        Bytes &path) {
  // Git before 2.13 names the records from the top of the work tree rather than from here.
  const char *first_end = strchr(answer.bytes, '\n');
  const char *records = first_end != nullptr ? first_end + 1 : "";
  const size_t size = strcspn(records, "\n"), named = sizeof kRecordsPath - 1;
  if (!version.can.find_index_from_here || size < named ||
      memcmp(records + size - named, kRecordsPath, named) != 0)
    return false;
  append(path, records, size - named);
  append(path, name, strlen(name) + 1);
  return true;
}

bool is_object_name(const char *text) {
  const size_t size = strspn(text, "0123456789abcdef");
  return text[size] == '\0' && (size == 40 || size == 64);
}

// What a keyed walk, and the look at its last commit, run with: no replace ref, grafts file or
// shallow file, which the key saw none of, and which a command in another terminal may make
// meanwhile, shapes what is filed under the key.
static const char *const *unshaped_by_refs_or_files() {
  static char graft_file[64], shallow_file[64];
  static const char *const assignments[] = {"GIT_NO_REPLACE_OBJECTS=1", graft_file, shallow_file,
                                            nullptr};
  snprintf(graft_file, sizeof graft_file, "GIT_GRAFT_FILE=%s", kNoSuchFile);
  snprintf(shallow_file, sizeof shallow_file, "GIT_SHALLOW_FILE=%s", kNoSuchFile);
  return assignments;
}

GitCommand start_history_walk(bool keyed) {
  if (!keyed) return start_git_command(kHistory);
  Launch unshaped;
  unshaped.assignments = unshaped_by_refs_or_files();
  return start_git_command(kKeyedHistory, unshaped);
}

// Counts the pieces of a dated listing after the first, which line holds: "<date> <commit>\n".
// The last stays in line, its date cut off; its date goes to found.last_date, and the least of
// the others' modulo kGraphDates to found.earliest_other.
static int count_dated_keeping_last(FILE *in, char *line, int size, History &found) {
  int count = 0;
  for (unsigned long long date = strtoull(line, nullptr, 10);; ++count) {
    found.last_date = date;
    if (fgets(line, size, in) == nullptr) break;
    found.earliest_other = std::min(found.earliest_other, date % kGraphDates);
    date = strtoull(line, nullptr, 10);
  }
  const char *commit = strchr(line, ' ');
  if (commit != nullptr) memmove(line, commit + 1, strlen(commit + 1) + 1);
  return count;
}

// Git lists HEAD first: the last line is the oldest commit, which stays put as history grows.
History find_git_revision_number(GitCommand &history, char *hash, int size) {
  History found;
  if (history.progress == Progress::kStartFailed) found.count = 1;
  // The history walk is the one cost that grows with the repository: one walk gives both facts.
  // Git's listing arrives in fewer, larger reads than the default buffer allows, which spares
  // this reader and Git many wake-ups on long histories.
  static char buffer[1 << 16];
  if (history.progress == Progress::kRunning)
    setvbuf(history.output, buffer, _IOFBF, sizeof buffer);
  found.dated = history.id == kKeyedHistory;
  if (history.progress == Progress::kRunning && fgets(hash, size, history.output) != nullptr) {
    const char *head = found.dated ? strchr(hash, ' ') : nullptr;
    head = head != nullptr ? head + 1 : hash;
    snprintf(found.head, sizeof found.head, "%.*s", static_cast<int>(strcspn(head, "\r\n")), head);
    found.count = 1 + (found.dated ? count_dated_keeping_last(history.output, hash, size, found)
                                   : count_pieces_keeping_last(history.output, hash, size));
    found.listed = true;
  }
  finish_git_command(history);
  // Git prints whole lines before it dies (a missing object, a signal): only an exit 0 says the
  // listing went to the end.
  found.whole = found.listed && exited_zero(history);
  return found;
}

// The date Git orders a commit by, read from its object as Git's parser reads it: the line after
// the tree and parent lines must be the author's and the next the committer's, whose date follows
// the first '>' from there on and must end in a line end that is not the object's last byte;
// else 0. bytes is zero-terminated at tail.
static unsigned long long committer_date(const char *bytes, const char *tail) {
  const auto after_line = [tail](const char *at) {
    const void *end = memchr(at, '\n', static_cast<size_t>(tail - at));
    return end != nullptr ? static_cast<const char *>(end) + 1 : tail;
  };
  const char *at = after_line(bytes);
  while (tail - at > 7 && memcmp(at, "parent ", 7) == 0) at = after_line(at);
  if (tail - at <= 6 || memcmp(at, "author", 6) != 0) return 0;
  at = after_line(at);
  if (tail - at <= 9 || memcmp(at, "committer", 9) != 0) return 0;
  const char *date = static_cast<const char *>(memchr(at, '>', static_cast<size_t>(tail - at)));
  if (date == nullptr || after_line(date + 1) >= tail) return 0;
  return strtoull(date + 1, nullptr, 10);
}

unsigned long long read_commit_date(const char *commit) {
  const char *more[] = {commit, nullptr};
  Launch unshaped;
  unshaped.extra_words = more;
  unshaped.errors = Errors::kHidden;
  unshaped.assignments = unshaped_by_refs_or_files();
  Bytes object;
  const bool read = ask_git(kCommitObject, object, unshaped);
  const unsigned long long date =
      read ? committer_date(object.bytes, object.bytes + object.size - 1) : ~0ull;
  release(object);
  return date;
}

bool head_is_unborn() {
  // A branch yet to be born has no ref: HEAD names no object, yet names a branch. A ref that
  // exists and names nothing (an empty file that a crash or a full disk left) fails the second.
  Bytes answer;
  GitCommand verify = start_git_command(kVerifyHead);
  const bool names_nothing = !read_all(verify, answer) && verify.progress == Progress::kFinished;
  const bool unborn = names_nothing && ask_git(kHeadBranch, answer);
  release(answer);
  return unborn;
}

bool read_describe(GitCommand &describe, bool history_listed, Bytes &text) {
  // Its whole first line, however long a tag's name: cut short, it would name another commit.
  const size_t start = text.size;
  read_all(describe, text);
  append(text, "", 1);
  // A placeholder stamp names nothing.
  text.size = history_listed ? start + strcspn(text.bytes + start, "\r\n") : start;
  return check_git_exit(describe, history_listed);
}

StatusProbe get_git_state(GitCommand &status, Console &console, bool history_listed) {
  StatusProbe probe;
  // A status that never started stamps its own byte: neither a letter nor a clean tree.
  if (status.progress == Progress::kStartFailed) probe.letter = kStatusNotStarted;
  // Stops at the deciding piece: closing early discards the rest unread and unechoed, and what
  // Git makes of that is no failure of its own.
  if (status.progress == Progress::kRunning)
    probe.letter = static_cast<char>(scan_status(status.output, console));
  finish_git_command(status);
  const bool change_shown = probe.letter != kCleanTree && probe.letter != kStatusNotStarted;
  if (!change_shown) probe.ok = check_git_exit(status, history_listed);
  probe.work_tree = change_shown || exited_zero(status);
  return probe;
}

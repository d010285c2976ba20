// Stamps Git's view of the repository into a C header, ../applications/revision.h by default.
#ifndef REVSTAMP_H_
#define REVSTAMP_H_

#include <cstddef>
#include <cstdio>
#ifndef _WIN32
#include <sys/types.h>
#endif

/// Longest piece the line reader hands over, terminating zero included.
constexpr int kPieceSize = 1024;

/// Console lines' stream (nullptr: they go nowhere) and the reason its first failed write gave.
struct Console {
  FILE *stream = nullptr;
  int error = 0;
};

/// Bytes composed in memory, grown as they are appended.
struct Bytes {
  char *bytes = nullptr;
  size_t size = 0, capacity = 0;
};

/// The run's options, read from the environment once, at the start: each REVSTAMP_* switch is
/// on when set to exactly "1".
struct Options {
  bool allow_shallow = false, extra_macros = false, if_changed = false, keep_stamp = false,
       no_cache = false, quiet = false, require_history = false;
  /// The header's path, relative to the working directory or absolute.
  const char *header = nullptr;
};

// --- Small utilities: util.cpp ---

/// Memory for size bytes, old's kept; when there is none, the run reports so and ends with 1.
void *reallocate(void *old, size_t size);
void append(Bytes &text, const char *bytes, size_t size);
/// A zero-terminated string, without its zero.
void append(Bytes &text, const char *string);
/// Appends what is left of in to text, stopping once text holds more than most bytes: true when
/// it read to the end without an error and text holds at most that many.
bool append_stream(FILE *in, Bytes &text, size_t most);
void release(Bytes &text);
/// Cuts the zero-terminated line that starts at line off at its line end: where the next one
/// starts (its terminating zero when there is no line end).
char *next_line(char *line);
/// Writes one line of the tool's own to stderr: format and its values, then a line end.
void report(const char *format, ...);
/// Reports a failing library call as perror did ("message: <the error's description>").
void report_failure(const char *message, int error);

// --- Git commands: probes.cpp ---

/// The Git commands a run may start, each an entry of the command table in probes.cpp.
enum GitCommandId {
  kVersion,
  kRepositoryProbe,
  kHistory,
  kStatus,
  kDescribe,
  kSubmodules,
  kVerifyHead,
  kHeadBranch,
  kGitlinks,
  kGitDir,
  kTopAndPrefix,
  kKeyedHistory,
  kCommitObject,
  kIndexPath,
  kGitCommandCount
};
enum class Progress { kNotStarted, kGitMissing, kStartFailed, kRunning, kFinished };

/// One Git command: while running, its stdout in output; once finished, its exit code. Started,
/// read and finished by probes.cpp alone; the platform seam opens and closes output.
struct GitCommand {
  GitCommandId id = kHistory;
  Progress progress = Progress::kNotStarted;
  FILE *output = nullptr;
#ifdef _WIN32
  void *process = nullptr;  // a HANDLE
#else
  pid_t process = 0;
#endif
  int exit_code = 0;
};
/// What this Git does that older ones do not, each decided once from its version. A Git that does
/// not say its version is taken for a current one.
struct GitAbilities {
  /// 2.13: --git-path answers from the working directory, and GIT_INDEX_FILE is honoured.
  bool find_index_from_here = true;
  /// 2.15: git status leaves .git/index alone under GIT_OPTIONAL_LOCKS=0.
  bool leave_index_alone = true;
  /// 1.8.4 to 2.15, and 2.25 on: git submodule status lists rightly from below the top.
  bool list_submodules_from_here = true;
};
/// Git's version: the first line of git version (empty when unknown), and what it can do.
struct GitVersion {
  char text[128] = "";
  GitAbilities can;
};
/// The run's Git commands, by id; Git's version; the run's one private copy of the index, as its
/// GIT_INDEX_FILE assignment (empty while there is none), which copy_index makes and main removes.
struct GitCommands {
  GitCommand command[kGitCommandCount];
  GitVersion version;
  Bytes index_copy;
};
/// What the repository probe said of the clone: whether Git found a repository, whether its
/// clone is shallow, whether Git said so itself (a Git that answers --is-shallow-repository,
/// rather than echoing it) and whether it answered every question, HEAD's object included.
struct ShallowProbe {
  bool repository_found = false, shallow = false, said_itself = false, whole = false;
};
/// What a kept history listing is filed under: Git's version and the object HEAD names, and
/// where the records live (all but the version in paths, which owns them). usable only when
/// nothing but HEAD's commit shapes the listing.
struct HistoryKey {
  bool usable = false;
  const char *version = "", *head = "", *records = "";
  Bytes paths;
};
/// A commit-graph keeps each commit's date in 34 bits: one past them reads as another from it.
constexpr unsigned long long kGraphDates = 1ull << 34;
/// What the history listing gave: how many commits (1 when it could not be started), whether Git
/// listed any and went on to exit 0 (whole), and HEAD's full object name (its first line; empty
/// when nothing was listed). A keyed walk's listing is dated: the date Git ordered the last
/// commit by, and the least of the others' dates modulo 2^34 (UINT64_MAX for none).
struct History {
  int count = 0;
  bool listed = false, whole = false, dated = false;
  char head[72] = "";
  unsigned long long last_date = 0, earliest_other = ~0ull;
};
/// The state byte of a tree with no change, and of a run whose git status did not start.
constexpr char kCleanTree = 0, kStatusNotStarted = 1;
/// What git status said: its change letter, whether it ended as it should, and whether it found
/// a work tree (it showed a change, or exited 0).
struct StatusProbe {
  char letter = kCleanTree;
  bool ok = true, work_tree = false;
};

/// Sets what every Git command inherits: English output, no optional locks, block buffering.
void prepare_git_environment();
/// Starts the table's commands for this run at once, the optional ones only when asked for, and
/// reads Git's version, which git status waits for.
GitCommands start_git_commands(const Options &options);
/// Where a command's stderr goes: to this process's, to the null device (and a failed start is
/// not reported), or into the pipe its stdout is read from.
enum class Errors { kShown, kHidden, kRead };
/// Beyond the table's words: more words, where its stderr goes, where it runs, and NAME=VALUE
/// assignments that replace this process's own variables for this command alone.
struct Launch {
  const char *const *extra_words = nullptr;
  Errors errors = Errors::kShown;
  const char *directory = nullptr;
  const char *const *assignments = nullptr;
  /// GIT_DIR and GIT_WORK_TREE given to Git as full paths, as Git started in another directory
  /// needs them, and Git 2.11's submodule script, which moves to the top before it reads them.
  bool full_paths = false;
};
/// Starts the table's words for id as launch says; "popen failed" when it cannot, unless hidden.
GitCommand start_git_command(GitCommandId id, const Launch &launch = Launch());
/// Reports a command that exited non-zero when that counts (after the history was listed): false
/// when it failed so, or could not be started.
bool check_git_exit(const GitCommand &command, bool counts);
/// Reads the repository probe to its end, its whole answer, zero-terminated, in answer.
ShallowProbe read_shallow_probe(GitCommand &probe, Bytes &answer);
/// Appends the path of name in Git's common directory, from here, zero-terminated, to path, as the
/// repository probe's answer (its lines whole) gives it: false when it does not.
bool find_in_common_dir(const Bytes &answer, const GitVersion &version, const char *name,
                        Bytes &path);
/// A full object name as Git prints it: 40 (SHA-1) or 64 (SHA-256) lower-case hex digits.
bool is_object_name(const char *text);
/// Starts the history walk; a keyed one lists what HEAD's commit alone reaches, dated.
GitCommand start_history_walk(bool keyed);
/// Reads the history listing, its last line left in hash; a count of 1 when it did not start.
History find_git_revision_number(GitCommand &history, char *hash, int size);
/// The date Git orders commit (a full object name) by, read from its own object with no replace
/// ref; all bits set when it cannot be read.
unsigned long long read_commit_date(const char *commit);
/// Whether HEAD names a branch whose ref does not exist yet; false when Git could not say.
bool head_is_unborn();
/// Echoes git status up to its first change marker, whose letter it returns, and finishes it.
StatusProbe get_git_state(GitCommand &status, Console &console, bool history_listed);
/// git describe's first line, without its line end, appended to text; false when it failed.
bool read_describe(GitCommand &describe, bool history_listed, Bytes &text);
/// Number of pieces of at most size-1 bytes in the stream; the last stays in buf.
int count_pieces_keeping_last(FILE *in, char *buf, int size);
/// Echoes pieces to echo until one holds a change marker; that marker's letter, or 0.
int scan_status(FILE *in, Console &echo);
/// Runs id as launch says to its end, its whole output zero-terminated in answer; true when it
/// exited 0.
bool ask_git(GitCommandId id, Bytes &answer, const Launch &launch = Launch());
/// Waits for a started command with its unread output closed: Git ends at its next write. It is
/// then finished.
void finish_git_command(GitCommand &command);
/// Appends everything command prints to text, then finishes it: true when it exited 0.
bool read_all(GitCommand &command, Bytes &text);
/// Makes git.index_copy, once a run: "GIT_INDEX_FILE=<the copy's full path>", zero-terminated, as
/// Launch::assignments takes it. False when there is none.
bool copy_index(GitCommands &git);
/// Removes the copy copy_index made, if any.
void remove_index_copy(GitCommands &git);

// --- The submodule listing: submodules.cpp ---

/// git submodule status --recursive: the one command unsplit, or count runs of it side by side.
struct SubmoduleListing {
  GitCommand unsplit;
  GitCommand *runs = nullptr;
  int count = 0;
  /// With from_top, the unsplit command runs at the top of the work tree, prefix below it.
  bool from_top = false;
  /// The index listed whole, and no gitlink in it: nothing is started.
  bool no_gitlinks = false;
  Bytes prefix;
};

/// Where the runs of gitlinks with these path lengths end, each within budget; how many runs.
int plan_listing_runs(const size_t *lengths, int count, int processors, size_t budget,
                      int *run_ends);
/// Starts the listing, cut into runs that read git's index copy where that pays; probe_answer is
/// the repository probe's, its lines whole.
SubmoduleListing start_submodule_listing(GitCommands &git, const Bytes &probe_answer);
/// Appends the listing's bytes, as Git printed them, to bytes, reading the runs in order and
/// finishing them; false when a failure was reported. work_tree_shown: git status found one.
bool read_submodule_listing(SubmoduleListing &listing, bool history_listed, bool work_tree_shown,
                            Bytes &bytes);

// --- Composing the header: header.cpp ---

/// What REVSTAMP_EXTRA_MACROS=1 adds: HEAD, git describe's answer, dirty, valid.
struct ExtraMacros {
  const char *head = "";
  Bytes describe;
  bool dirty = false, valid = false;
};
/// Appends the plain header's bytes to header.
void write_notargeted_file(int count, const char *hash, char state, const ExtraMacros *extra,
                           Bytes &header);
/// Appends the targeted header's bytes, build targets and the submodule listing, to header.
void write_targeted_file(int count, const char *hash, char state, const Bytes &submodules,
                         const ExtraMacros *extra, Bytes &header);
/// Appends the listing's pieces, each ended by " \\r\\n", as one C string literal over lines.
void print_git_submodule_info(const Bytes &listing, Bytes &header);

// --- The kept history listing: history_cache.cpp ---

/// Takes the repository probe's answer; the key is usable, when wanted, only where HEAD's commit
/// and Git's version decide the listing alone.
HistoryKey read_history_key(Bytes &answer, const GitVersion &version, const ShallowProbe &probe,
                            bool wanted);
/// The listing kept under key: listed, with hash its last piece, when a whole record matches.
History recall_history(const HistoryKey &key, char *hash, int size);
/// Keeps what the walk listed for key's HEAD beside a few older records, where it is the key's own
/// and its last line no commit-graph can change; silent when it cannot.
void keep_history(const HistoryKey &key, const History &history, const char *hash);

// --- The header file's fate: header_file.cpp ---

enum class Fate { kWritten, kKept, kFailed };
/// Decides from one look at options.header: keeps a real stamp there (REVSTAMP_KEEP_STAMP, and
/// Git found no history), leaves it alone when it holds bytes already (REVSTAMP_IF_CHANGED),
/// replaces it, or writes it in place; releases bytes.
Fate put_header(Bytes &bytes, bool no_history, const Options &options);

// --- Run driver: driver.cpp ---

/// Reads every REVSTAMP_* switch and the header's path from the environment.
Options read_options();
/// Makes sure an entry named build exists here; says so on the console (stderr without one) and
/// exits with 1 if it cannot.
void createBuildDir(Console &console);
/// Prints the usage for a lone --help, or the version for a lone --version; true when it did.
bool answer_help_or_version(int argc, char **argv, Console &console);
/// True when the second argument after the program's name starts with a lower-case 's'.
bool selects_targeted_form(int argc, char **argv);
/// Judges what Git said of the repository and its history (GIT_DIR, a missing Git, a broken
/// repository, a shallow clone's history cut short), reporting each fault; false when the run has
/// failed. Sets shallow.
bool judge_history(GitCommands &git, const ShallowProbe &probe, const History &history,
                   const Options &options, bool &shallow);
/// With REVSTAMP_REQUIRE_HISTORY=1, a placeholder stamp is an error, said in one line with why
/// Git listed no commit: false when so.
bool check_history_required(const GitCommands &git, const ShallowProbe &probe,
                            const History &history, bool history_ok, const Options &options);
/// Reports "write failed" when a byte of the console could not be written: false when so.
bool check_console_output(Console &console);

// --- Platform seam: platform_posix.cpp or platform_windows.cpp, and platform_stdio.cpp ---

/// How putting one file in another's place ended: held (another program has it open), refused.
enum class Replace { kReplaced, kHeld, kRefused, kFailed };
/// What stands at a path: nothing, a regular file, or anything else (a link, a folder, a device);
/// or, on Windows, a name the system keeps for a device (NUL, COM1), whatever stands there.
enum class EntryKind { kAbsent, kRegular, kOther, kDeviceName };
/// The header as looked at once: its kind, writable, tied to its inode (other links, a mount,
/// its own ACL), and on POSIX the mode and owner a replacement is to keep.
struct Entry {
  EntryKind kind = EntryKind::kAbsent;
  bool writable = false, tied_to_inode = false;
  unsigned mode = 0;
  long owner = -1, group = -1;
};
/// Where the header lives unless the options say otherwise, relative to the working directory.
extern const char kHeaderPath[];
/// What a text-mode stream writes to disk for each line end.
extern const char kLineEnd[];
/// Longest name create_replacement gives, terminating zero included.
constexpr int kReplacementNameSize = 4096;
/// Most arguments a Git command of the table is started with.
constexpr int kMaxGitArgs = 15;
/// Longest command line, in characters, that Git is started with.
extern const size_t kCommandLineLimit;
/// A path no file can ever have.
extern const char kNoSuchFile[];

/// Readies standard streams, signals and children's exits; the console's stream, or nullptr.
FILE *prepare_process();
/// Writes size bytes to console; the first failure's reason stays in console.error.
void write_console(Console &console, const char *bytes, size_t size);
/// Flushes console: the reason its first write failed, or 0 when every byte went out.
int flush_console(Console &console);
/// Why the C runtime's last write to a stream failed, as an errno value.
int write_error();
/// Adds a NAME=VALUE assignment, which must outlive the process, to the environment.
void set_environment(char *assignment);
/// The environment variable name as a path the file functions below take (UTF-8 on Windows,
/// whatever the code page), living as long as the process; nullptr when unset or empty.
const char *environment_path(const char *name);
/// Creates ./build: 0 when made or an entry of that name exists, else the error number.
int make_build_dir();
/// Whether Git as the search path finds it may be handed a path from the repository: false for a
/// batch script (Windows), which cmd.exe reads.
bool git_takes_paths();
/// Starts Git from the search path, no shell between, its stdout in command.output. Words from
/// the repository (launch.extra_words) never reach a command interpreter: such a start fails.
Progress spawn_git(const char *const words[], const Launch &launch, GitCommand &command,
                   int &error);
/// Closes command.output, which is then nullptr, and waits: the exit code, 128 + a killing
/// signal's number, -1 if unknown.
int wait_for_git(GitCommand &command);
/// The exit code as a report gives it: decimal, or on Windows an NTSTATUS code in hex.
void describe_exit_code(int code, char (&text)[16]);
/// At least 1.
int online_processors();
void pause_milliseconds(int milliseconds);
/// What stands at path, without following a link.
EntryKind kind_of(const char *path);
/// What stands at the header's path, without following a link.
Entry look_at_header(const char *path);
/// Opens path for reading its bytes as they are; nullptr when it cannot.
FILE *open_to_read(const char *path);
/// Opens path for writing in text mode, emptied or created; nullptr with error saying why.
FILE *open_in_place(const char *path, int &error);
/// Writes size bytes to file and closes it: 0, or the first failure's error number.
int write_and_close(FILE *file, const char *bytes, size_t size);
/// A new file beside the file at path that keeps old's mode, owner and group, named in name;
/// nullptr when the folder refuses a new file or they cannot be kept.
FILE *create_replacement(const char *path, const Entry &old, char (&name)[kReplacementNameSize]);
/// In one step.
Replace replace_file(const char *from, const char *to, int &error);
/// Appends path made absolute from the working directory to full, zero-terminated; false when
/// the working directory cannot be told.
bool append_full_path(const char *path, Bytes &full);
/// Gives the file at path from's modification time (on POSIX in whole seconds, never later): 0, or
/// the error number.
int copy_modification_time(FILE *from, const char *path);
/// Removes the file at path, a name create_replacement gave; silent when it cannot.
void remove_file(const char *path);
/// A new file beside the file at path, for a private copy of its bytes, named in name, which this
/// process holds until remove_held_copy: a sweep leaves it alone while this process lives, and a
/// signal that ends the run (Ctrl-C on Windows) removes it. nullptr when there can be none.
FILE *create_held_copy(const char *path, char (&name)[kReplacementNameSize]);
/// Removes a copy create_held_copy made, and lets it go.
void remove_held_copy(const char *name);
/// Removes the copies of the file at path that create_held_copy made for runs that have ended.
void sweep_held_copies(const char *path);

#endif  // REVSTAMP_H_

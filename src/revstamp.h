// Stamps Git's view of the repository into ../applications/revision.h.
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

/// Bytes composed in memory, grown as they are appended; lost when memory ran out.
struct Text {
  char *bytes = nullptr;
  size_t size = 0, capacity = 0;
  bool lost = false;
};

// --- Run driver ---

/// Makes sure an entry named build exists here; prints a line and exits with 1 if it cannot.
void createBuildDir();
/// Prints the usage for a lone --help, or the version for a lone --version; true when it did.
bool answer_help_or_version(int argc, char **argv, Console &console);
/// True when the second argument after the program's name starts with a lower-case 's'.
bool selects_targeted_form(int argc, char **argv);
/// True when the environment variable name is exactly "1": how every opt-in is turned on.
bool option_on(const char *name);
/// Marks the run as failed: it exits with 1.
void mark_run_failed();
/// Reports a failing library call as perror did ("message: <the error's description>").
void report_failure(const char *message, int error);
/// When GIT_DIR is set: a failed run if Git finds no repository there, else maybe a warning.
void check_git_dir(bool repository_found);
/// Reports a shallow clone's history, cut short: a failed run unless REVSTAMP_ALLOW_SHALLOW=1.
void report_shallow_history(bool shallow);
/// Reports "write failed" when a byte of the console could not be written.
void check_console_output(Console &console);
/// The exit status: 1 when the run reported a failure of its own, else 0.
int run_exit_status();

// --- Repository probes ---

/// The Git commands a run may start, each an entry of the command table in probes.cpp.
enum GitCommandId {
  kShallowProbe,
  kHistory,
  kStatus,
  kSubmodules,
  kVerifyHead,
  kGitlinks,
  kDescribe
};

/// A Git command the run started: output is nullptr when it was not; start_failed when no pipe
/// or process could be made for it ("popen failed" was reported).
struct GitCommand {
  GitCommandId id = kHistory;
  FILE *output = nullptr;
#ifdef _WIN32
  void *process = nullptr;  // a HANDLE
#else
  pid_t process = 0;
#endif
  bool start_failed = false;
};
/// The submodule listing: one Git command, or several, each listing a run of the submodules in
/// index order, whose outputs read one after another are the one command's.
struct SubmoduleListing {
  GitCommand *runs = nullptr;
  int count = 0;
};
/// The Git commands of one run.
struct GitCommands {
  GitCommand shallow_probe, history, status, describe;
  SubmoduleListing submodules;
};
/// What the history listing found; once Git listed a commit, a failing Git command is a failure.
struct History {
  int count = 0;
  bool listed = false, shallow = false;
  /// HEAD's full object name, the listing's first line; empty when nothing was listed.
  char head[72] = "";
};

/// Sets what every Git command inherits: English output, no optional locks, block buffering.
void prepare_git_environment();
/// Starts every command the run needs at once: the submodule listing only when targeted, git
/// describe only for the extra macros.
GitCommands start_git_commands(bool targeted, bool extra_macros);
/// Waits for a command, discarding its unread output: its exit code, 0 when it never started.
int finish_git_command(GitCommand &command);
/// Reports a command that exited non-zero after the history was listed, as a failed run.
void check_git_exit(const GitCommand &command, int exit_code, bool history_listed);
/// Reads the history listing, its last line left in hash; a count of 1 when it did not start.
History find_git_revision_number(GitCommand &shallow_probe, GitCommand &history, char *hash,
                                 int size);
/// Echoes `git status` up to its first change marker: its letter, 0 for none, 1 if not started.
int get_git_state(GitCommand &status, Console &console, bool history_listed);
/// git describe's first line, without its line end, appended to text; nothing unless Git listed.
void read_describe(GitCommand &describe, bool history_listed, Text &text);
/// Number of pieces of at most size-1 bytes in the stream; the last stays in buf.
int count_pieces_keeping_last(FILE *in, char *buf, int size);
/// Echoes pieces to echo until one holds a change marker; that marker's letter, or 0.
int scan_status(FILE *in, Console &echo);

// --- Revision header ---

/// Appends size bytes to text.
void append(Text &text, const char *bytes, size_t size);
/// Appends a zero-terminated string to text, without its zero.
void append(Text &text, const char *string);
/// Frees text's bytes and empties it.
void release(Text &text);
/// Appends size bytes, up to a zero byte, escaped for the inside of a C string literal.
void append_escaped(Text &text, const char *bytes, size_t size);
/// What REVSTAMP_EXTRA_MACROS=1 adds: HEAD's name, git describe's answer, whether the tree is
/// dirty, and whether the full history was listed (valid, while no failure is reported).
struct ExtraMacros {
  const char *head = "";
  Text describe;
  bool dirty = false, full_history = false;
};
/// Replaces the plain header whole; 0 when written, 1 when it cannot be opened or written.
int write_notargeted_file(int count, const char *hash, char state, const ExtraMacros *extra);
/// Replaces the header with build targets and the submodule listing whole; 0 or 1 likewise.
int write_targeted_file(int count, const char *hash, char state, SubmoduleListing &submodules,
                        bool history_listed, const ExtraMacros *extra);
/// Appends the listing as one string literal: its exit code, or 1 when it did not start.
int print_git_submodule_info(SubmoduleListing &listing, Text &header, bool history_listed);
/// Appends the listing's lines, each ended by " \\r\\n", as one C string literal spread over lines.
void append_submodule_block(FILE *listing, Text &block);
/// Appends the listing's lines, each ended by " \\r\\n", escaped for the inside of that literal.
void append_submodule_lines(FILE *listing, Text &block);

// --- Platform seam: platform_posix.cpp or platform_windows.cpp, as the build picks ---

/// How an attempt to start Git ended.
enum class Start { kStarted, kGitNotFound, kFailed };
/// How an attempt to put one file in another's place ended.
enum class Replace { kReplaced, kHeld, kRefused, kFailed };
/// Where the header lives, relative to the working directory.
extern const char kHeaderPath[];
/// Longest name create_replacement gives, terminating zero included.
constexpr int kReplacementNameSize = 512;
/// Most arguments a Git command of the table is started with.
constexpr int kMaxGitArgs = 8;
/// Longest command line, in characters, that Git is started with.
extern const size_t kCommandLineLimit;

/// Opens closed standard descriptors on the null device, lets writes to a gone reader fail, has
/// children's exits waited for; false when there is no stdout stream (Windows only).
bool prepare_process();
/// Writes size bytes to console; the first failure's reason stays in console.error.
void write_console(Console &console, const char *bytes, size_t size);
/// Flushes console: the reason its first write failed, or 0 when every byte went out.
int flush_console(Console &console);
/// Adds a NAME=VALUE assignment, which must outlive the process, to the environment.
void set_environment(char *assignment);
/// Creates ./build: 0 when made or an entry of that name exists, else the error number.
int make_build_dir();
/// Starts Git, from the search path only, with args and no shell: its stdout in command.output.
Start spawn_git(const char *const args[], GitCommand &command, int &error);
/// Closes the output and waits: the exit code, 128 + a killing signal's number, -1 if unknown.
int wait_for_git(GitCommand &command);
/// How many processors the system has online, at least 1.
int online_processors();
/// Waits for the given number of milliseconds.
void pause_milliseconds(int milliseconds);
/// Opens path for writing in text mode, emptied or created; nullptr with error saying why.
FILE *open_in_place(const char *path, int &error);
/// Writes size bytes to file and closes it: 0, or the first failure's error number.
int write_and_close(FILE *file, const char *bytes, size_t size);
/// A new file beside path, with its permission bits, named in name; nullptr when path is no
/// regular file this user may write (absent is fine), or the directory refuses a new file.
FILE *create_replacement(const char *path, char (&name)[kReplacementNameSize]);
/// Puts file from in to's place in one step; held while another process holds to, refused when
/// the directory forbids it.
Replace replace_file(const char *from, const char *to, int &error);

#endif  // REVSTAMP_H_

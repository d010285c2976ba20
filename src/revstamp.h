// Stamps Git's view of the repository into ../applications/revision.h.
#ifndef REVSTAMP_H_
#define REVSTAMP_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

/// Longest piece the line reader hands over, terminating zero included.
constexpr int kPieceSize = 1024;

// --- Run driver ---

/// Makes sure an entry named build exists here; prints a line and exits with 1 if it cannot.
void createBuildDir();
/// Prints the usage for a lone --help, or the version for a lone --version; true when it did.
bool answer_help_or_version(int argc, char **argv);
/// True when the second argument after the program's name starts with a lower-case 's'.
bool selects_targeted_form(int argc, char **argv);
/// Reports a failing library call on stderr, perror style, and marks the run as failed.
void report_failure(const char *message);
/// Records that Git listed a commit, and whether the clone is shallow: from then on, a failing
/// Git command is a failed run.
void note_history_listed(bool shallow);
/// Reports a Git command that failed with exit_code, and marks the run as failed.
void report_git_failure(const char *command, int exit_code);
/// Reports a Git command that exited non-zero once Git has listed a commit, and marks the run
/// as failed.
void report_git_exit(const char *command, int exit_code);
/// Says so when GIT_DIR is set: a failed run when Git finds no repository there, a warning when
/// GIT_WORK_TREE is not set beside it.
void check_git_dir(bool repository_found);
/// Says so when the listed history is a shallow clone's, cut short; a failed run unless
/// REVSTAMP_ALLOW_SHALLOW=1.
void report_shallow_history();
/// Reports "write failed" when a byte of standard output could not be written.
void check_console_output();
/// The exit status: 1 when the run reported a failure of its own, else 0.
int run_exit_status();

// --- Repository probes ---

/// A Git command the run started, and the name reports give it.
struct GitCommand {
  const char *name = nullptr;
  /// Its standard output; nullptr when it was not started.
  FILE *output = nullptr;
  intptr_t process = 0;
  /// True when no pipe or process could be made for it ("popen failed" was reported).
  bool start_failed = false;
};
/// The Git commands of one run.
struct GitCommands {
  GitCommand shallow_probe, history, status, submodules;
};

/// Starts every Git command the run needs at once, so that they run side by side; the
/// submodule listing only for the targeted form.
GitCommands start_git_commands(bool targeted);
/// Waits for a started command, discarding what it has not printed yet: its exit code, or 0
/// when it was never started.
int finish_command(GitCommand &command);
/// Number of lines the history listing printed, leaving the last in hash and noting whether the
/// clone is shallow; 1 when it could not be started.
int find_git_revision_number(GitCommand &shallow_probe, GitCommand &history, char *hash, int size);
/// Echoes `git status` up to its first change marker; the marker's letter, 0 for none, 1 when it
/// could not be started.
int get_git_state(GitCommand &status);

/// Number of pieces of at most size-1 bytes in the stream; the last stays in buf.
int count_pieces_keeping_last(FILE *in, char *buf, int size);
/// Echoes pieces to echo until one holds a change marker; that marker's letter, or 0.
int scan_status(FILE *in, FILE *echo);

// --- Revision header ---

/// Bytes composed in memory, grown as they are appended; lost when memory ran out.
struct Text {
  char *bytes = nullptr;
  size_t size = 0;
  size_t capacity = 0;
  bool lost = false;
};
/// Appends size bytes to text.
void append(Text &text, const char *bytes, size_t size);
/// Appends a zero-terminated string to text, without its zero.
void append(Text &text, const char *string);
/// Frees text's bytes and empties it.
void release(Text &text);

/// Replaces the plain header whole; 0 when written, 1 when it cannot be opened or written.
int write_notargeted_file(int count, const char *hash, char state);
/// Replaces the header with build targets and the submodule listing whole; 0 when written, 1
/// when it cannot be opened or written.
int write_targeted_file(int count, const char *hash, char state, GitCommand &submodules);
/// Appends the submodule listing as one string literal; the listing's exit code, or 1 when it
/// could not be started.
int print_git_submodule_info(GitCommand &listing, Text &header);
/// Appends the listing's lines, each ended by " \\r\\n", as one C string literal spread over lines.
void write_submodule_block(FILE *listing, Text &block);

// --- Platform seam ---

/// Where the header lives, relative to the working directory.
extern const char kHeaderPath[];
/// Longest name create_replacement gives, terminating zero included.
constexpr int kReplacementNameSize = 512;
/// What replace_file returns when another process holds the file it would replace.
constexpr int kFileHeld = 2;
/// Most arguments a Git command is started with.
constexpr int kMaxGitArgs = 8;
/// What start_git returns when the search path holds no Git.
constexpr int kGitNotFound = 2;

/// Opens any of descriptors 0, 1 and 2 (on Windows, standard handles) that is closed on the null
/// device.
void open_closed_standard_descriptors();
/// True when the process started without a standard output that can be written (Windows only):
/// its lines go nowhere, as on a closed descriptor.
bool standard_output_missing();
/// Lets a write to a pipe whose reader has gone fail, rather than end the process.
void ignore_broken_pipe();
/// Waits for the given number of milliseconds.
void pause_milliseconds(int milliseconds);
/// Creates ./build; true when it was made or an entry of that name already exists.
bool make_build_dir();
/// Sets what every Git command inherits: English output, no optional locks, block buffering.
void prepare_git_environment();
/// Starts Git, found on the search path only, with args (nullptr-ended), no shell between: its
/// stdout readable from output, process to wait on. 0 when started, kGitNotFound, else 1 with
/// errno saying why.
int start_git(const char *const args[], FILE **output, intptr_t *process);
/// Closes output, discarding what is unread, and waits for process: its exit code, 128 plus the
/// signal's number when a signal ended it, -1 when it cannot be waited for.
int finish_git(FILE *output, intptr_t process);
/// A new file beside path, for writing in text mode with path's permission bits (or, when path
/// is absent, those any new file gets there), its name in name; nullptr when path is neither
/// absent nor a regular file this user may write, or the directory refuses a new file.
FILE *create_replacement(const char *path, char (&name)[kReplacementNameSize]);
/// Puts file from in to's place in one step: 0 when done, kFileHeld when another process holds
/// to (or the file system says it is busy), else 1 with errno saying why.
int replace_file(const char *from, const char *to);

#endif  // REVSTAMP_H_

// Stamps Git's view of the repository into ../applications/revision.h.
#ifndef REVSTAMP_H_
#define REVSTAMP_H_

#include <cstddef>
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
/// Reports a Git command that exited non-zero once Git has listed a commit, and marks the run
/// as failed.
void report_git_exit(const char *command, int exit_code);
/// Says so when the listed history is a shallow clone's, cut short; a failed run unless
/// REVSTAMP_ALLOW_SHALLOW=1.
void report_shallow_history();
/// Reports "write failed" when a byte of standard output could not be written.
void check_console_output();
/// The exit status: 1 when the run reported a failure of its own, else 0.
int run_exit_status();

// --- Repository probes ---

/// Starts a Git command line with its stdout readable; reports "popen failed" when it cannot.
FILE *run_git(const char *command);
/// Number of lines `git rev-list HEAD` prints, leaving the last in hash and noting whether the
/// clone is shallow; 1 when its pipe fails.
int find_git_revision_number(char *hash, int size);
/// Echoes `git status` up to its first change marker; the marker's letter, 0 for none, 1 on
/// failure.
int get_git_state();

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
/// Replaces the header with build targets and submodules whole; 0 when written, 1 when it
/// cannot be opened or written.
int write_targeted_file(int count, const char *hash, char state);
/// Appends the submodule listing as one string literal; the listing's exit code, or 1 when its
/// pipe fails.
int print_git_submodule_info(Text &header);
/// Appends the listing's lines, each ended by " \\r\\n", as one C string literal spread over lines.
void write_submodule_block(FILE *listing, Text &block);

// --- Platform seam ---

/// Where the header lives, relative to the working directory.
extern const char kHeaderPath[];
/// Longest name create_replacement gives, terminating zero included.
constexpr int kReplacementNameSize = 512;
/// What replace_file returns when another process holds the file it would replace.
constexpr int kFileHeld = 2;

/// Opens any of descriptors 0, 1 and 2 that is closed on the null device.
void open_closed_standard_descriptors();
/// Creates ./build; true when it was made or an entry of that name already exists.
bool make_build_dir();
/// Sets what every Git command inherits: English output, no optional locks, block buffering.
void prepare_git_environment();
/// Runs command through the shell with its stdout readable; nullptr when no pipe can be opened.
FILE *open_command_pipe(const char *command);
/// Closes a command pipe and waits for the command; its exit code, 128 plus the signal's number
/// when a signal ended it, -1 when it cannot be waited for.
int close_command_pipe(FILE *pipe);
/// A new file beside path, for writing in text mode with path's permission bits, its name in
/// name; nullptr when path is neither absent nor a regular file this user may write, or the
/// directory refuses a new file.
FILE *create_replacement(const char *path, char (&name)[kReplacementNameSize]);
/// Puts file from in to's place in one step: 0 when done, kFileHeld when another process holds
/// to, else 1 with errno saying why.
int replace_file(const char *from, const char *to);

#endif  // REVSTAMP_H_

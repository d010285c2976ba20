#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "revstamp.h"

void createBuildDir() {
  if (make_build_dir() == 0) return;
  // A quiet run keeps stdout empty, yet still says why it failed.
  fputs("Failed to create build directory.\n", option_on("REVSTAMP_QUIET") ? stderr : stdout);
  exit(1);
}

static const char kUsage[] =
    "Usage: revstamp [WORD [s...]]\n"
    "       revstamp --help | --version\n"
    "\n"
    "Stamps how many commits HEAD reaches, the hash of the last commit git rev-list HEAD lists\n"
    "and the working tree's state into ../applications/revision.h, for firmware to include.\n"
    "Run it inside the Git work tree, from a directory whose parent holds applications/.\n"
    "\n"
    "  revstamp [WORD]       the plain header (WORD is not read)\n"
    "  revstamp WORD s...    the targeted header, with build-target names and the submodule\n"
    "                        listing: any second word that starts with a lower-case s\n"
    "\n"
    "Only a lone --help or --version is an option: any other first word, -h included, is the\n"
    "unread WORD, and revstamp stamps.\n"
    "\n"
    "Exit status: 0 when the header was stamped, also with the placeholder 00000000 when Git\n"
    "lists no commit (not a repository, Git missing); 1 when revstamp failed itself, a Git\n"
    "command failed after Git had listed a commit, or the clone is shallow.\n"
    "\n"
    "Environment (each on when exactly 1):\n"
    "  REVSTAMP_ALLOW_SHALLOW=1  accept a shallow clone, with a warning\n"
    "  REVSTAMP_EXTRA_MACROS=1   also stamp FIRMWARE_VER_HEAD_STR, FIRMWARE_VER_DESCRIBE_STR,\n"
    "                            FIRMWARE_VER_DIRTY and FIRMWARE_VER_VALID\n"
    "  REVSTAMP_IF_CHANGED=1     leave the header alone when its bytes would not change\n"
    "  REVSTAMP_QUIET=1          print nothing on stdout\n"
    "  REVSTAMP_REQUIRE_HISTORY=1  fail (exit 1) when the placeholder 00000000 is stamped\n"
    "  REVSTAMP_KEEP_STAMP=1     when Git lists no commit, keep a header that holds a real stamp\n"
    "\n"
    "More in revstamp(1).\n";

bool answer_help_or_version(int argc, char **argv, Console &console) {
  static const char kVersion[] = "revstamp " REVSTAMP_VERSION "\n";
  // Only the one word alone: "revstamp --help s" is a stamp like any other.
  if (argc != 2) return false;
  const bool help = strcmp(argv[1], "--help") == 0;
  if (!help && strcmp(argv[1], "--version") != 0) return false;
  if (help) write_console(console, kUsage, sizeof kUsage - 1);
  if (!help) write_console(console, kVersion, sizeof kVersion - 1);
  return true;
}

bool selects_targeted_form(int argc, char **argv) {
  // Fewer than two arguments leave nothing to select with: the plain form.
  return argc > 2 && argv[2][0] == 's';
}

void report(const char *format, ...) {
  // One write, line end included: Git's own complaints reach stderr meanwhile.
  va_list values, again;
  va_start(values, format);
  va_copy(again, values);
  char fixed[1024];
  const size_t length =
      static_cast<size_t>(std::max(vsnprintf(fixed, sizeof fixed, format, values), 0));
  char *line =
      length + 2 <= sizeof fixed ? fixed : static_cast<char *>(reallocate(nullptr, length + 2));
  if (line != fixed) vsnprintf(line, length + 1, format, again);
  va_end(again);
  va_end(values);
  line[length] = '\n';
  fwrite(line, 1, length + 1, stderr);
  if (line != fixed) free(line);
}

void report_failure(const char *message, int error) { report("%s: %s", message, strerror(error)); }

bool check_git_dir(bool repository_found) {
  // A hook's GIT_DIR (a push-to-deploy post-receive runs with GIT_DIR=.) leaks into the build
  // it starts: Git then looks for the repository there, or takes the directory revstamp runs in
  // as the top of the work tree, and every file outside it reads as deleted.
  const char *git_dir = getenv("GIT_DIR");
  if (git_dir == nullptr) return false;
  if (!repository_found) {
    report(
        "error: GIT_DIR is set to '%s' and Git finds no repository there: unset GIT_DIR "
        "before building, or point it at the repository",
        git_dir);
    return true;
  }
  if (getenv("GIT_WORK_TREE") == nullptr) {
    report(
        "warning: GIT_DIR is set to '%s' without GIT_WORK_TREE: Git takes the directory "
        "revstamp runs in as the top of the work tree",
        git_dir);
  }
  return false;
}

bool option_on(const char *name) {
  const char *value = getenv(name);
  return value != nullptr && strcmp(value, "1") == 0;
}

bool report_shallow_history(bool shallow) {
  // Such a count is the clone's depth, and the hash the oldest fetched commit's.
  if (!shallow) return false;
  const bool allowed = option_on("REVSTAMP_ALLOW_SHALLOW");
  report(
      "%s: shallow clone: the revision count covers only the fetched history; fetch all of "
      "it (git fetch --unshallow) or check out with full depth",
      allowed ? "warning" : "error");
  return !allowed;
}

bool check_console_output(Console &console) {
  // The console lines are buffered: a full disk or a closed pipe may show only now.
  const int error = flush_console(console);
  if (error != 0) report_failure("write failed", error);
  return error != 0;
}

bool check_history_required(const History &history) {
  if (history.listed || !option_on("REVSTAMP_REQUIRE_HISTORY")) return false;
  report("error: the placeholder 00000000 was stamped: %s",
         history.git_missing ? "Git was not found"
                             : "Git listed no commit (no repository found from here, or Git "
                               "refused it)");
  return true;
}

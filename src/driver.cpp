#include <cstdlib>
#include <cstring>

#include "revstamp.h"

void createBuildDir() {
  if (make_build_dir()) return;
  printf("Failed to create build directory.\n");
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
    "Exit status: 0 when the header was stamped, also with the placeholder 00000000 when Git\n"
    "lists no commit (not a repository, Git missing); 1 when revstamp failed itself, a Git\n"
    "command failed after Git had listed a commit, or the clone is shallow.\n"
    "\n"
    "Environment: REVSTAMP_ALLOW_SHALLOW=1 accepts a shallow clone with a warning.\n"
    "\n"
    "More in revstamp(1).\n";

bool answer_help_or_version(int argc, char **argv) {
  // Only the one word alone: "revstamp --help s" is a stamp like any other.
  if (argc != 2) return false;
  if (strcmp(argv[1], "--help") == 0) {
    fputs(kUsage, stdout);
    return true;
  }
  if (strcmp(argv[1], "--version") == 0) {
    printf("revstamp %s\n", REVSTAMP_VERSION);
    return true;
  }
  return false;
}

bool selects_targeted_form(int argc, char **argv) {
  // Fewer than two arguments leave nothing to select with: the plain form.
  return argc > 2 && argv[2][0] == 's';
}

// Set by every failure the run reports, so that the exit status comes from one place.
static bool failure_reported = false;
// Once Git has listed a commit, the repository has answered, and a failing Git command means a
// stamp that is wrong. Before, Git refusing is how a source tarball or a missing Git shows.
static bool commit_listed = false;
static bool shallow_history = false;

void report_failure(const char *message) {
  perror(message);
  failure_reported = true;
}

void note_history_listed(bool shallow) {
  commit_listed = true;
  shallow_history = shallow;
}

void report_git_failure(const char *command, int exit_code) {
  fprintf(stderr, "%s failed: exit status %d\n", command, exit_code);
  failure_reported = true;
}

void report_git_exit(const char *command, int exit_code) {
  if (exit_code != 0 && commit_listed) report_git_failure(command, exit_code);
}

void check_git_dir(bool repository_found) {
  // A hook's GIT_DIR (a push-to-deploy post-receive runs with GIT_DIR=.) leaks into the build
  // it starts: Git then looks for the repository there, or takes the directory revstamp runs in
  // as the top of the work tree, and every file outside it reads as deleted.
  const char *git_dir = getenv("GIT_DIR");
  if (git_dir == nullptr) return;
  if (!repository_found) {
    fprintf(stderr,
            "error: GIT_DIR is set to '%s' and Git finds no repository there: unset GIT_DIR "
            "before building, or point it at the repository\n",
            git_dir);
    failure_reported = true;
  } else if (getenv("GIT_WORK_TREE") == nullptr) {
    fprintf(stderr,
            "warning: GIT_DIR is set to '%s' without GIT_WORK_TREE: Git takes the directory "
            "revstamp runs in as the top of the work tree\n",
            git_dir);
  }
}

void report_shallow_history() {
  // Such a count is the clone's depth, and the hash the oldest fetched commit's.
  if (!shallow_history) return;
  const char *allow = getenv("REVSTAMP_ALLOW_SHALLOW");
  const bool allowed = allow != nullptr && strcmp(allow, "1") == 0;
  fprintf(stderr,
          "%s: shallow clone: the revision count covers only the fetched history; fetch all of "
          "it (git fetch --unshallow) or check out with full depth\n",
          allowed ? "warning" : "error");
  if (!allowed) failure_reported = true;
}

int run_exit_status() { return failure_reported ? 1 : 0; }

void check_console_output() {
  // The console lines are buffered: a full disk or a closed pipe shows only now.
  const bool lost = fflush(stdout) != 0 || ferror(stdout) != 0;
  if (lost && !standard_output_missing()) report_failure("write failed");
}

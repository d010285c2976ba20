// One run's decisions that are not Git's: the options, the build directory, the command line,
// and what Git's answers about the history mean for the run.
#include <cstdlib>
#include <cstring>

#include "revstamp.h"

// How every opt-in is turned on: exactly "1"; "0", "yes" or an empty value leave it off.
static bool is_one(const char *value) { return value != nullptr && strcmp(value, "1") == 0; }

Options read_options() {
  Options options;
  options.allow_shallow = is_one(getenv("REVSTAMP_ALLOW_SHALLOW"));
  options.extra_macros = is_one(getenv("REVSTAMP_EXTRA_MACROS"));
  options.if_changed = is_one(getenv("REVSTAMP_IF_CHANGED"));
  options.keep_stamp = is_one(getenv("REVSTAMP_KEEP_STAMP"));
  options.no_cache = is_one(getenv("REVSTAMP_NO_CACHE"));
  options.quiet = is_one(getenv("REVSTAMP_QUIET"));
  options.require_history = is_one(getenv("REVSTAMP_REQUIRE_HISTORY"));
  // A path, not a switch: an empty one, as a Makefile's unset variable passes it, is no path.
  const char *header = environment_path("REVSTAMP_HEADER");
  options.header = header != nullptr ? header : kHeaderPath;
  return options;
}

void createBuildDir(Console &console) {
  if (make_build_dir() == 0) return;
  static const char kFailed[] = "Failed to create build directory.";
  // A quiet run, or one without a stdout, still says why it failed.
  if (console.stream == nullptr) report("%s", kFailed);
  write_console(console, kFailed, sizeof kFailed - 1);
  write_console(console, "\n", 1);
  exit(1);
}

// One screen: revstamp(1) and docs/reference.md hold the rest.
static const char kUsage[] =
    "Usage: revstamp [WORD [s...]]\n"
    "       revstamp --help | --version\n"
    "\n"
    "Stamps how many commits HEAD reaches, the hash of the oldest commit and the working\n"
    "tree's state into ../applications/revision.h. Run it inside the Git work tree, from a\n"
    "directory whose parent holds applications/. WORD is not read; a second word that starts\n"
    "with a lower-case s selects the targeted header, with build targets and submodules.\n"
    "\n"
    "Exit status 0: the header was written or left as it was, with the placeholder 00000000\n"
    "too when Git lists no commit. 1: something failed (stderr says what), the clone is\n"
    "shallow without REVSTAMP_ALLOW_SHALLOW=1, or REVSTAMP_REQUIRE_HISTORY=1 met the\n"
    "placeholder.\n"
    "\n"
    "Environment, each on when exactly 1: REVSTAMP_ALLOW_SHALLOW, REVSTAMP_EXTRA_MACROS,\n"
    "REVSTAMP_IF_CHANGED, REVSTAMP_KEEP_STAMP, REVSTAMP_NO_CACHE, REVSTAMP_QUIET,\n"
    "REVSTAMP_REQUIRE_HISTORY; REVSTAMP_HEADER=PATH writes PATH instead.\n"
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

// Every command meets a missing Git alike; the history walk, which every run that lists no kept
// history starts, tells. A run that found its history kept found Git.
static bool git_missing(const GitCommands &git) {
  return git.command[kHistory].progress == Progress::kGitMissing;
}

// True unless GIT_DIR names no repository.
static bool check_git_dir(bool repository_found) {
  // A hook's GIT_DIR (a push-to-deploy post-receive runs with GIT_DIR=.) leaks into the build
  // it starts: Git then looks for the repository there, or takes the directory revstamp runs in
  // as the top of the work tree, and every file outside it reads as deleted.
  const char *git_dir = getenv("GIT_DIR");
  const bool misplaced = git_dir != nullptr && !repository_found;
  if (misplaced) {
    report(
        "error: GIT_DIR is set to '%s' and Git finds no repository there: unset GIT_DIR "
        "before building, or point it at the repository",
        git_dir);
  } else if (git_dir != nullptr && getenv("GIT_WORK_TREE") == nullptr) {
    report(
        "warning: GIT_DIR is set to '%s' without GIT_WORK_TREE: Git takes the directory "
        "revstamp runs in as the top of the work tree",
        git_dir);
  }
  return !misplaced;
}

bool judge_history(GitCommands &git, const ShallowProbe &probe, const History &history,
                   const Options &options, bool &shallow) {
  bool ok = true;
  const GitCommand &probe_command = git.command[kRepositoryProbe];
  if (probe_command.progress == Progress::kFinished) ok = check_git_dir(probe.repository_found);
  const GitCommand &listing = git.command[kHistory];
  // Said once, for every command.
  if (git_missing(git)) report("git: not found");
  // The probe's -q --verify exits 1 without a word where HEAD names no single commit: no fault.
  ok &= check_git_exit(probe_command, history.listed && probe_command.exit_code != 1);
  // Git refuses a repository whose HEAD it cannot walk (a missing object, a pruned --shared
  // source, a branch ref left empty) as it refuses a source tarball, with 128: only the tarball,
  // no repository, or an unborn branch, may stamp the placeholder. Any other status is a Git
  // that could not run (a crash, a missing DLL, a broken shim or wrapper).
  const bool unreadable =
      !history.listed && listing.progress == Progress::kFinished && listing.exit_code != 0 &&
      (listing.exit_code != 128 || (probe.repository_found && !head_is_unborn()));
  ok &= check_git_exit(listing, history.listed || unreadable);
  // Such a count is the clone's depth, and the hash the oldest fetched commit's.
  shallow = history.listed && probe.shallow;
  if (shallow) {
    report(
        "%s: shallow clone: the revision count covers only the fetched history; fetch all of "
        "it (git fetch --unshallow) or check out with full depth",
        options.allow_shallow ? "warning" : "error");
  }
  return ok && (!shallow || options.allow_shallow);
}

bool check_console_output(Console &console) {
  // The console lines are buffered: a full disk or a closed pipe may show only now.
  const int error = flush_console(console);
  if (error != 0) report_failure("write failed", error);
  return error == 0;
}

// Why Git found no repository, in Git's own words: asked once more, its message read rather than
// shown twice. Under LC_ALL=C those words are English in every Git from 1.8.3.1 on. Git 2.35.2 and
// later refuse a repository another user owns, and their message names safe.directory; "Not a
// git repository (or any", capitalised before Git 1.8.5, says Git found none where it looked,
// which GIT_CEILING_DIRECTORIES and file system boundaries limit. Any other refusal (a .git file
// naming nothing, a repository format too new) is left to Git's message above.
static const char *why_no_repository() {
  Launch reading;
  reading.errors = Errors::kRead;
  Bytes said;
  ask_git(kGitDir, said, reading);
  const char *why =
      strstr(said.bytes, "safe.directory") != nullptr
          ? "Git refused the repository, which another user owns: add it to safe.directory as "
            "Git's message above says"
      : strstr(said.bytes, "ot a git repository (or any") != nullptr
          ? "Git found no repository here or in a folder above where it looks (a source tree "
            "without .git; GIT_CEILING_DIRECTORIES or a file system boundary ends the search)"
          : "Git refused the repository: see Git's message above";
  release(said);
  return why;
}

bool check_history_required(const GitCommands &git, const ShallowProbe &probe,
                            const History &history, bool history_ok, const Options &options) {
  if (history.listed || !options.require_history) return true;
  // A repository Git found lists no commit without failing only when its branch is yet to be
  // born.
  const char *why = git_missing(git) ? "Git was not found: install it, or put its folder on PATH"
                    : !probe.repository_found ? why_no_repository()
                    : !history_ok             ? "Git could not read the repository's history"
                                              : "the repository has no commit yet";
  report("error: the placeholder 00000000 was stamped: %s", why);
  return false;
}

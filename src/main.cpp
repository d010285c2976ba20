#include <cstring>

#include "revstamp.h"

int main(int argc, char **argv) {
  Console console{prepare_process()};
  if (answer_help_or_version(argc, argv, console)) return check_console_output(console) ? 1 : 0;
  const bool quiet = option_on("REVSTAMP_QUIET");
  if (quiet) console.stream = nullptr;
  createBuildDir();
  prepare_git_environment();
  const bool targeted = selects_targeted_form(argc, argv);
  const bool extra_macros = option_on("REVSTAMP_EXTRA_MACROS");
  GitCommands git = start_git_commands(extra_macros);
  SubmoduleListing submodules;
  if (targeted) submodules = start_submodule_listing();
  // Shown, and stamped, when Git lists no commit: plain to see, and the header still compiles.
  char hash[256] = "00000000";
  const History history =
      find_git_revision_number(git.of[kShallowProbe], git.of[kHistory], hash, sizeof hash);
  write_console(console, hash, strnlen(hash, sizeof hash));
  write_console(console, "\n", 1);
  const StatusProbe state = get_git_state(git.of[kStatus], console, history.listed);
  char state_line[] = "git state is : ?\n";
  // The byte itself takes the '?', also when it is 0 or 1.
  state_line[sizeof state_line - 3] = state.letter;
  write_console(console, state_line, sizeof state_line - 1);
  ExtraMacros extra;
  extra.head = history.head;
  extra.dirty = state.letter != 0;
  bool failed = history.failed | state.failed;
  failed |= read_describe(git.of[kDescribe], history.listed, extra.describe);
  ListingResult listing;
  if (targeted) listing = read_submodule_listing(submodules, history.listed);
  failed |= listing.failed;
  // Valid: the whole history, and every Git command answered; only the header's own writing,
  // which the macro cannot speak of, is still to come.
  extra.valid = history.listed && !history.shallow && !failed;
  const ExtraMacros *stamped_extra = extra_macros ? &extra : nullptr;
  // A source drop keeps the stamp it was made with, on request.
  const bool kept =
      !history.listed && option_on("REVSTAMP_KEEP_STAMP") && header_holds_real_stamp();
  if (kept) {
    report("warning: Git listed no commit: %s keeps the stamp it holds", kHeaderPath);
  } else if (targeted) {
    failed |=
        write_targeted_file(history.count, hash, state.letter, listing.bytes, stamped_extra) != 0;
  } else {
    failed |= write_notargeted_file(history.count, hash, state.letter, stamped_extra) != 0;
  }
  if (!kept) failed |= check_history_required(history);
  release(listing.bytes);
  release(extra.describe);
  failed |= report_shallow_history(history.shallow);
  failed |= check_console_output(console);
  return failed ? 1 : 0;
}

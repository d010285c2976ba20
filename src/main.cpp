#include <cstring>

#include "revstamp.h"

int main(int argc, char **argv) {
  Console console{prepare_process() ? stdout : nullptr};
  if (answer_help_or_version(argc, argv, console)) {
    check_console_output(console);
    return run_exit_status();
  }
  createBuildDir();
  prepare_git_environment();
  const bool targeted = selects_targeted_form(argc, argv);
  const bool extra_macros = option_on("REVSTAMP_EXTRA_MACROS");
  GitCommands git = start_git_commands(targeted, extra_macros);
  // Shown, and stamped, when Git lists no commit: plain to see, and the header still compiles.
  char hash[256] = "00000000";
  const History history =
      find_git_revision_number(git.shallow_probe, git.history, hash, sizeof hash);
  write_console(console, hash, strnlen(hash, sizeof hash));
  write_console(console, "\n", 1);
  const char state = static_cast<char>(get_git_state(git.status, console, history.listed));
  char state_line[] = "git state is : ?\n";
  // The byte itself takes the '?', also when it is 0 or 1.
  state_line[sizeof state_line - 3] = state;
  write_console(console, state_line, sizeof state_line - 1);
  ExtraMacros extra;
  extra.head = history.head;
  extra.dirty = state != 0;
  extra.full_history = history.listed && !history.shallow;
  read_describe(git.describe, history.listed, extra.describe);
  const ExtraMacros *stamped_extra = extra_macros ? &extra : nullptr;
  if (targeted) {
    write_targeted_file(history.count, hash, state, git.submodules, history.listed, stamped_extra);
  } else {
    write_notargeted_file(history.count, hash, state, stamped_extra);
  }
  release(extra.describe);
  report_shallow_history(history.shallow);
  check_console_output(console);
  return run_exit_status();
}

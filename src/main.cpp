#include "revstamp.h"

int main(int argc, char **argv) {
  open_closed_standard_descriptors();
  ignore_broken_pipe();
  if (answer_help_or_version(argc, argv)) {
    check_console_output();
    return run_exit_status();
  }
  createBuildDir();
  prepare_git_environment();
  const bool targeted = selects_targeted_form(argc, argv);
  GitCommands git = start_git_commands(targeted);
  // Shown, and stamped, when Git lists no commit: plain to see, and the header still compiles.
  char hash[256] = "00000000";
  int count = find_git_revision_number(git.shallow_probe, git.history, hash, sizeof hash);
  printf("%.*s\n", static_cast<int>(sizeof hash), hash);
  char state = static_cast<char>(get_git_state(git.status));
  printf("git state is : %c\n", state);
  if (targeted) {
    write_targeted_file(count, hash, state, git.submodules);
  } else {
    write_notargeted_file(count, hash, state);
  }
  report_shallow_history();
  check_console_output();
  return run_exit_status();
}

#include <cstdlib>

#include "revstamp.h"

void createBuildDir() {
  if (make_build_dir()) return;
  printf("Failed to create build directory.\n");
  exit(1);
}

bool selects_targeted_form(int argc, char **argv) {
  // Fewer than two arguments leave nothing to select with: the plain form.
  return argc > 2 && argv[2][0] == 's';
}

// Set by every failure the run reports, so that the exit status comes from one place.
static bool failure_reported = false;

void report_failure(const char *message) {
  perror(message);
  failure_reported = true;
}

int run_exit_status() { return failure_reported ? 1 : 0; }

void check_console_output() {
  // The console lines are buffered: a full disk or a closed pipe shows only now.
  if (fflush(stdout) != 0 || ferror(stdout) != 0) report_failure("write failed");
}

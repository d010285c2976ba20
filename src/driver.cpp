#include <cstdlib>

#include "git.h"

void createBuildDir() {
  if (make_build_dir()) return;
  printf("Failed to create build directory.\n");
  exit(1);
}

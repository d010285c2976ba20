/* A stand-in for firmware: prints what revstamp stamped into revision.h. */
#include <stdio.h>

#include "revision.h"

int main(void) {
  printf("firmware %s\n", FIRMWARE_BUILD_INFO);
  printf("revision %d, commit %s\n", FIRMWARE_VER_REV, FIRMWARE_VER_HASH_STR);
#ifdef FIRMWARE_SUBMODULE_REV /* the targeted form: revstamp <word> s */
  printf("target %s\n", FIRMWARE_TARGET_STR);
  printf("submodules:\n%s", FIRMWARE_SUBMODULE_REV);
#endif
  return 0;
}

/* A stand-in for firmware: prints what revstamp stamped into revision.h. */
#include <stdio.h>

#include "revision.h"

int main(void) {
  printf("firmware %s\n", FIRMWARE_BUILD_INFO);
  printf("revision %d, commit %s\n", FIRMWARE_VER_REV, FIRMWARE_VER_HASH_STR);
  return 0;
}

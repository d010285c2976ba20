/* Prints what the generated header's macros expand to: the build info, this file's own
   __DATE__ and __TIME__, the state macro's size and first byte, with the extra macros what #if
   makes of the two integers and the two strings, then for the targeted form the target and the
   submodule listing. */
#include <stdio.h>

#include "revision.h"

int main(void) {
  printf("%s\n%s\n%s\n", FIRMWARE_BUILD_INFO, __DATE__, __TIME__);
  printf("%d %d\n", (int)sizeof FIRMWARE_VER_MULTI, FIRMWARE_VER_MULTI[0]);
#ifdef FIRMWARE_VER_VALID
#if FIRMWARE_VER_VALID
  printf("valid ");
#endif
#if FIRMWARE_VER_DIRTY
  printf("dirty ");
#endif
  printf("%s %s\n", FIRMWARE_VER_HEAD_STR, FIRMWARE_VER_DESCRIBE_STR);
#endif
#ifdef FIRMWARE_SUBMODULE_REV
  printf("%s\n%s", FIRMWARE_TARGET_STR, FIRMWARE_SUBMODULE_REV);
#endif
  return 0;
}

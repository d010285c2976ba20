/* Prints what the generated header's macros expand to, one value a line. */
#include <stdio.h>

#include "revision.h"

int main(void) {
  printf("%s\n%s\n%s\n", FIRMWARE_BUILD_INFO, __DATE__, __TIME__);
  return 0;
}

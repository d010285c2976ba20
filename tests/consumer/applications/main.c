/* Compiles only once revstamp has written a whole targeted header beside it. */
#include "revision.h"

const char firmware_build_info[] = FIRMWARE_BUILD_INFO;
const char firmware_submodules[] = FIRMWARE_SUBMODULE_REV;

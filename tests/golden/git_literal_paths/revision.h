#ifndef REVISION_H_
#define REVISION_H_
#if (defined DEBUG)
#define		FIRMWARE_TARGET_STR	"debug"
#elif (defined _DEBUG)
#define      FIRMWARE_TARGET_STR  "debug"
#elif (defined __DEBUG)
#define      FIRMWARE_TARGET_STR  "debug"
#elif (defined DISTRIBUTION)
#define      FIRMWARE_TARGET_STR  "distribution"
#elif (defined _DISTRIBUTION)
#define      FIRMWARE_TARGET_STR  "distribution"
#elif (defined __DISTRIBUTION)
#define      FIRMWARE_TARGET_STR  "distribution"
#else
#define      FIRMWARE_TARGET_STR  "release"
#endif
#define      FIRMWARE_VER_REV 2
#define      FIRMWARE_VER_REV_STR "2"
#define      FIRMWARE_VER_HASH_STR "40f2bf8d"
#define      FIRMWARE_VER_MULTI "\0"
#define		FIRMWARE_BUILD_INFO		"r" FIRMWARE_VER_REV_STR "-" FIRMWARE_VER_HASH_STR " " FIRMWARE_TARGET_STR " "" built on " __DATE__ " " __TIME__
#define FIRMWARE_SUBMODULE_REV \
"\
 d3f86c6b658d71c24123446194621cf63bd33611 ../lib (heads/main) \r\n\
"
#endif

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
#define      FIRMWARE_VER_REV 3
#define      FIRMWARE_VER_REV_STR "3"
#define      FIRMWARE_VER_HASH_STR "40f2bf8d"
#define      FIRMWARE_VER_MULTI "M"
#define      FIRMWARE_BUILD_INFO        "r" FIRMWARE_VER_REV_STR "-" FIRMWARE_VER_HASH_STR "-" FIRMWARE_VER_MULTI " " FIRMWARE_TARGET_STR " "" built on " __DATE__ " " __TIME__
#define FIRMWARE_SUBMODULE_REV \
"\
 d3f86c6b658d71c24123446194621cf63bd33611 ../a (heads/main) \r\n\
+d83d921dd10727440ad02b2675adcf83d77b24c6 ../b (heads/main) \r\n\
 d3f86c6b658d71c24123446194621cf63bd33611 ../c (heads/main) \r\n\
 3dbe6660764b1d73ddc865aa1fe55036c350bdef ../d (heads/main) \r\n\
 59fe51f58999ad6c100d808330f40fceb3c00b39 ../d/inner (heads/main) \r\n\
"
#endif

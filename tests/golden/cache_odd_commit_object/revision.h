#ifndef REVISION_H_
#define REVISION_H_
#define FIRMWARE_VER_REV 2
#define FIRMWARE_VER_REV_STR "2"
#define FIRMWARE_VER_HASH_STR "40f2bf8d"
#define FIRMWARE_VER_MULTI "\0"
#define		FIRMWARE_BUILD_INFO		"r" FIRMWARE_VER_REV_STR " built on " __DATE__ " " __TIME__
#endif // REVISION_H_

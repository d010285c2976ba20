#ifndef REVISION_H_
#define REVISION_H_
#define FIRMWARE_VER_REV 3
#define FIRMWARE_VER_REV_STR "3"
#define FIRMWARE_VER_HASH_STR "40f2bf8d"
#define FIRMWARE_VER_MULTI "M"
#define		FIRMWARE_BUILD_INFO		"r" FIRMWARE_VER_REV_STR " built on " __DATE__ " " __TIME__
#endif // REVISION_H_

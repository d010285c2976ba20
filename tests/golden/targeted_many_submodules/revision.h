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
#define      FIRMWARE_VER_MULTI "M"
#define      FIRMWARE_BUILD_INFO        "r" FIRMWARE_VER_REV_STR "-" FIRMWARE_VER_HASH_STR "-" FIRMWARE_VER_MULTI " " FIRMWARE_TARGET_STR " "" built on " __DATE__ " " __TIME__
#define FIRMWARE_SUBMODULE_REV \
"\
 98a5590a5c16739721635fc363a5171055f6deae ../back\\slash (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../caf\303\251 (v1.0-2-g98a5590) \r\n\
-98a5590a5c16739721635fc363a5171055f6deae ../cold \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../colon:name (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../glob*[?] (v1.0-2-g98a5590) \r\n\
+d95876ddf866b4e0891078634f5c36745e8da690 ../moved (v1.0-1-gd95876d) \r\n\
 ed9f4d9c7b89fd40bdff7b21d48f6a5ec7892eba ../nest (heads/main) \r\n\
 a54be712a16a7577fd5fb0f1dceb131731850640 ../nest/inner (heads/main) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../nest/inner/deep (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../quote\"d (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub01 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub02 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub03 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub04 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub05 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub06 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub07 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub08 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub09 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub10 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub11 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub12 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub13 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub14 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub15 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub16 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub17 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub18 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub19 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub20 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub21 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub22 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub23 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub24 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub25 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub26 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub27 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub28 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub29 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub30 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub31 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub32 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub33 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub34 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub35 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub36 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub37 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub38 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub39 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../sub[0-4]0 (v1.0-2-g98a5590) \r\n\
 98a5590a5c16739721635fc363a5171055f6deae ../with blank (v1.0-2-g98a5590) \r\n\
"
#endif

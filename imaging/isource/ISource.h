// The entry points of the imaging library _ISource30.dll as the program calls
// them: stdcall, undecorated names (see ISource30.def). This header is all
// the program and the library share.
#pragma once

#include <stdint.h>

#ifdef _WIN32
#define IS3_CALL __stdcall
#else
#define IS3_CALL
#endif

// Function pointer types, one per entry point, named after the export
// without its leading underscore.
extern "C" {
typedef uint32_t(IS3_CALL* IS3Initialize_t)(void);
typedef uint32_t(IS3_CALL* IS3GetLibVersion_t)(void);
}

// The library's version word: major in the high byte, minor in the low byte.
constexpr uint32_t kIS3LibVersion = 0x0300;

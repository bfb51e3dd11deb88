// The exported entry points of _ISource30.dll. Each is a thin stdcall shim
// over the library's plain C++ code.
#include <windows.h>

#include "imaging/isource/ISource.h"

extern "C" {

uint32_t __stdcall IS3Initialize(void) { return 1; }

uint32_t __stdcall IS3GetLibVersion(void) { return kIS3LibVersion; }

} // extern "C"

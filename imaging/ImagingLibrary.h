// The run-time binding of the imaging library _ISource30.dll: loaded through
// the normal library search during static initialisation, its entry points
// looked up by name. It is never unloaded.
#pragma once

#include "imaging/isource/ISource.h"

#include <windows.h>

#include <string>
#include <vector>

// One pointer per entry point, named after it: m_pOpenFileSource is
// "_IS3OpenFileSource". Null when the library or that entry is missing.
struct TIS3Library {
    HMODULE m_hModule = nullptr;
#define IS3_MEMBER(name, result, params) IS3##name##_t m_p##name = nullptr;
    IS3_ENTRY_POINTS(IS3_MEMBER)
#undef IS3_MEMBER

    // True when the file loaded and offers every entry point.
    bool Complete() const;
};

// The file name the program loads the library by.
extern const char* const kImagingLibraryFile;

extern TIS3Library g_IS3;

// Binds the library for use: false when the file did not load (or lacks an
// entry point the program calls); otherwise initialises it once, fills
// g_ImageExtensions and selects device-compatible bitmaps.
bool InitImaging();

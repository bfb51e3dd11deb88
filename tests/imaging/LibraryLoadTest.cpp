// The imaging library as the program finds it: loaded by file name, with
// its entry points under their undecorated names.
#include "imaging/isource/ISource.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(ImagingLibrary, LoadsAndExportsItsEntryPoints) {
    HMODULE module = LoadLibraryA("_ISource30.dll");
    ASSERT_NE(module, nullptr) << "error " << GetLastError();
    auto initialize = reinterpret_cast<IS3Initialize_t>(GetProcAddress(module, "_IS3Initialize"));
    auto version = reinterpret_cast<IS3GetLibVersion_t>(GetProcAddress(module, "_IS3GetLibVersion"));
    ASSERT_NE(initialize, nullptr);
    ASSERT_NE(version, nullptr);
    EXPECT_NE(initialize(), 0u);
    EXPECT_EQ(version(), kIS3LibVersion);
    // Decorated names must not be what the program has to ask for.
    EXPECT_EQ(GetProcAddress(module, "IS3Initialize@0"), nullptr);
    FreeLibrary(module);
}

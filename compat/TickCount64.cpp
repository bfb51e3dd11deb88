// The thread library of the toolchain (winpthreads, linked statically into
// both binaries) waits with timeouts measured by GetTickCount64, which
// Windows has only from Vista on: imported, it keeps the program and the
// imaging library from loading on XP at all. This file defines the import
// slot that the library calls through, so the linker takes it in place of
// the one in kernel32: it leads to the system's GetTickCount64 where there
// is one and to the 32-bit count extended across its wraps otherwise.
#include "compat/TickExtender.h"

#include <windows.h>

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

compat::TickExtender g_extender;

ULONGLONG WINAPI ExtendedTickCount() {
    return g_extender.Extend([] { return uint32_t(GetTickCount()); });
}

ULONGLONG WINAPI FirstTickCount64();

} // namespace

// The slot's name is what a call to an imported GetTickCount64 goes through.
#if defined(_WIN64)
extern "C" TickCount64Function g_tickCount64Slot __asm__("__imp_GetTickCount64");
#else
extern "C" TickCount64Function g_tickCount64Slot __asm__("__imp__GetTickCount64@0");
#endif
TickCount64Function g_tickCount64Slot = FirstTickCount64;

namespace {

// The first call chooses; a pointer store is atomic, and threads racing here
// all store the same choice.
ULONGLONG WINAPI FirstTickCount64() {
    auto system = reinterpret_cast<TickCount64Function>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64"));
    TickCount64Function chosen = system ? system : ExtendedTickCount;
    __atomic_store_n(&g_tickCount64Slot, chosen, __ATOMIC_RELEASE);
    return chosen();
}

} // namespace

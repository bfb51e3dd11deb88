// What this process holds of the system's objects: GDI objects, USER
// objects, kernel handles and private bytes, counted the system's way
// (GetGuiResources, GetProcessHandleCount, GetProcessMemoryInfo) where the
// system answers. Wine 8 answers neither of the first two (GetGuiResources
// gives 0 with ERROR_CALL_NOT_IMPLEMENTED, the handle count 0), so there
// each is counted by probing this process's own tables instead:
//   GDI     every index of the GDI handle table that holds an object (Wine
//           takes a handle without its upper word for the object at that
//           index, whatever its generation);
//   USER    this process's windows (top-level, child and message-only),
//           and the menus, cursors and icons, and accelerator tables in the
//           USER handle table (Wine looks these up in the process itself);
//   handles every handle value that names an open kernel object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace bench {

struct TProcessCounts {
    uint32_t nGdi = 0;
    uint32_t nUser = 0;
    uint32_t nHandles = 0;
    size_t nPrivateBytes = 0;
};

TProcessCounts CountProcess();

// How each count was taken: "system" or "probed", as "gdi=... user=...
// handles=...".
std::string CountSources();

} // namespace bench

#include "bench/ProcessCounts.h"

#include "bench/WindowDriver.h"

#include <windows.h>

namespace bench {
namespace {

// GDI handles carry a 16-bit table index in their low word.
uint32_t ProbeGdi() {
    uint32_t n = 0;
    for (UINT_PTR index = 1; index <= 0xFFFF; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
            ++n;
    return n;
}

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
    ++*reinterpret_cast<uint32_t*>(lp);
    return TRUE;
}

// A window of this process and all its descendants.
uint32_t WindowTree(HWND hwnd) {
    uint32_t n = 1;
    EnumChildWindows(hwnd, CountChild, reinterpret_cast<LPARAM>(&n));
    return n;
}

bool Ours(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid == GetCurrentProcessId();
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lp) {
    if (Ours(hwnd))
        *reinterpret_cast<uint32_t*>(lp) += WindowTree(hwnd);
    return TRUE;
}

uint32_t ProbeWindows() {
    uint32_t n = 0;
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&n));
    for (HWND hwnd = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); hwnd;
         hwnd = FindWindowExA(HWND_MESSAGE, hwnd, nullptr, nullptr))
        if (Ours(hwnd))
            n += WindowTree(hwnd);
    return n;
}

// USER handles are a table index times two above 0x20, with a generation
// in the upper word.
constexpr UINT_PTR kFirstUserHandle = 0x0020;
constexpr UINT_PTR kLastUserHandle = 0xFFEF;

using TGetCursorFrameInfo = HCURSOR(WINAPI*)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);

uint32_t ProbeUser() {
    // Asks for a cursor's or icon's frame, which makes nothing new.
    static const auto s_pFrameInfo = reinterpret_cast<TGetCursorFrameInfo>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetCursorFrameInfo")));
    uint32_t n = ProbeWindows();
    for (UINT_PTR h = kFirstUserHandle; h <= kLastUserHandle; h += 2) {
        DWORD nRate = 0, nSteps = 0;
        if (IsMenu(reinterpret_cast<HMENU>(h)) ||
            (s_pFrameInfo && s_pFrameInfo(reinterpret_cast<HCURSOR>(h), 0, 0, &nRate, &nSteps)) ||
            CopyAcceleratorTableA(reinterpret_cast<HACCEL>(h), nullptr, 0) > 0)
            ++n;
    }
    return n;
}

// Kernel handles are multiples of four, handed out lowest first: the probe
// stops well past the last one in use.
uint32_t ProbeHandles() {
    constexpr UINT_PTR kGap = 4096;
    uint32_t n = 0;
    UINT_PTR last = 0;
    for (UINT_PTR h = 4; h < last + kGap * 4; h += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) {
            ++n;
            last = h;
        }
    }
    return n;
}

bool SystemCountsGui() {
    SetLastError(0);
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != 0;
}

bool SystemCountsHandles() {
    DWORD n = 0;
    return GetProcessHandleCount(GetCurrentProcess(), &n) && n != 0;
}

} // namespace

TProcessCounts CountProcess() {
    TProcessCounts counts;
    if (SystemCountsGui()) {
        counts.nGdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        counts.nUser = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    } else {
        counts.nGdi = ProbeGdi();
        counts.nUser = ProbeUser();
    }
    DWORD nHandles = 0;
    counts.nHandles = SystemCountsHandles() && GetProcessHandleCount(GetCurrentProcess(), &nHandles)
                          ? nHandles
                          : ProbeHandles();
    counts.nPrivateBytes = PrivateBytes();
    return counts;
}

std::string CountSources() {
    const char* szGui = SystemCountsGui() ? "system" : "probed";
    return std::string("gdi=") + szGui + " user=" + szGui +
           " handles=" + (SystemCountsHandles() ? "system" : "probed");
}

} // namespace bench

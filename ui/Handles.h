// Owners for Win32 handles: one owner per resource, released in its
// destructor. Wrappers that do not own their handle say so in their name.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace ui {

// Owns a kernel handle (file, event, process); closes it once.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : m_h(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return m_h; }
    bool Valid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }
    HANDLE Release() { return std::exchange(m_h, nullptr); }
    void Reset(HANDLE h = nullptr) {
        if (Valid())
            CloseHandle(m_h);
        m_h = h;
    }

private:
    HANDLE m_h = nullptr;
};

// Owns a handle that one function releases (`Free`'s call operator), once;
// moves, never copies. Reset takes over another handle.
template <typename H, typename Free> class UniqueOf {
public:
    UniqueOf() = default;
    explicit UniqueOf(H h) : m_h(h) {}
    ~UniqueOf() { Reset(); }
    UniqueOf(UniqueOf&& other) noexcept : m_h(other.Release()) {}
    UniqueOf& operator=(UniqueOf&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueOf(const UniqueOf&) = delete;
    UniqueOf& operator=(const UniqueOf&) = delete;

    H Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    H Release() { return std::exchange(m_h, nullptr); }
    void Reset(H h = nullptr) {
        if (m_h)
            Free()(m_h);
        m_h = h;
    }

private:
    H m_h = nullptr;
};

struct DeleteGdiObject {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct FreeGlobalMemory {
    void operator()(HGLOBAL h) const { GlobalFree(h); }
};
struct DestroyMenuHandle {
    void operator()(HMENU h) const { DestroyMenu(h); }
};
struct DestroyAcceleratorHandle {
    void operator()(HACCEL h) const { DestroyAcceleratorTable(h); }
};
struct DestroyCursorHandle {
    void operator()(HCURSOR h) const { DestroyCursor(h); }
};
struct DestroyImageListHandle {
    void operator()(HIMAGELIST h) const { ImageList_Destroy(h); }
};

// A GDI object (bitmap, pen, brush, font, region).
template <typename T> using GdiObject = UniqueOf<T, DeleteGdiObject>;
// A global memory block (a decoded picture's pixels).
using UniqueGlobal = UniqueOf<HGLOBAL, FreeGlobalMemory>;
// A menu that is not attached to a window (a pop-up); a window's menu bar
// is destroyed with the window.
using UniqueMenu = UniqueOf<HMENU, DestroyMenuHandle>;
using UniqueAccelerators = UniqueOf<HACCEL, DestroyAcceleratorHandle>;
using UniqueImageList = UniqueOf<HIMAGELIST, DestroyImageListHandle>;
// A cursor of our own making (LoadImage without LR_SHARED), never a shared one.
using UniqueCursor = UniqueOf<HCURSOR, DestroyCursorHandle>;

using UniqueBitmap = GdiObject<HBITMAP>;
using UniqueBrush = GdiObject<HBRUSH>;
using UniquePen = GdiObject<HPEN>;
using UniqueFont = GdiObject<HFONT>;

// Owns a memory device context from CreateCompatibleDC.
class UniqueMemoryDC {
public:
    explicit UniqueMemoryDC(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    ~UniqueMemoryDC() {
        if (m_dc)
            DeleteDC(m_dc);
    }
    UniqueMemoryDC(const UniqueMemoryDC&) = delete;
    UniqueMemoryDC& operator=(const UniqueMemoryDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

// A window's device context from GetDC, released to that window.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~WindowDC() {
        if (m_dc)
            ReleaseDC(m_hwnd, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// The device context of a whole window, frame included (GetWindowDC),
// released to that window.
class WindowFrameDC {
public:
    explicit WindowFrameDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetWindowDC(hwnd)) {}
    ~WindowFrameDC() {
        if (m_dc)
            ReleaseDC(m_hwnd, m_dc);
    }
    WindowFrameDC(const WindowFrameDC&) = delete;
    WindowFrameDC& operator=(const WindowFrameDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// BeginPaint / EndPaint for one WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : m_hwnd(hwnd) { m_dc = BeginPaint(hwnd, &m_ps); }
    ~PaintScope() { EndPaint(m_hwnd, &m_ps); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Get() const { return m_dc; }
    const RECT& Area() const { return m_ps.rcPaint; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc;
};

// Selects an object into a DC for one scope and puts the previous one back;
// does not own the selected object.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(SelectObject(dc, obj)) {}
    ~ScopedSelect() {
        if (m_old)
            SelectObject(m_dc, m_old);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Owns a module from LoadLibrary.
class UniqueModule {
public:
    UniqueModule() = default;
    explicit UniqueModule(HMODULE h) : m_h(h) {}
    ~UniqueModule() {
        if (m_h)
            FreeLibrary(m_h);
    }
    UniqueModule(const UniqueModule&) = delete;
    UniqueModule& operator=(const UniqueModule&) = delete;
    HMODULE Get() const { return m_h; }
    HMODULE Release() { return std::exchange(m_h, nullptr); }

private:
    HMODULE m_h = nullptr;
};

// Shows the hourglass for one scope and restores the previous cursor.
class WaitCursor {
public:
    WaitCursor() : m_old(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_old); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_old;
};

} // namespace ui

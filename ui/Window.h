// A thin base for the program's windows: registers a class, creates the
// window with `this` as its creation parameter, stores the pointer at
// WM_NCCREATE and forwards every message to a virtual handler, so WM_CREATE
// already reaches the object. The object never outlives nor owns more than
// its HWND; WM_NCDESTROY detaches it.
#pragma once

#include <windows.h>

namespace ui {

// Signed client coordinates of a mouse message (the low and high words are
// 16-bit signed: positions left of or above the client area are negative).
struct MousePoint {
    int x;
    int y;
};
inline MousePoint MouseFromLParam(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return m_hwnd; }

protected:
    // Registers the class once per process (name must be unique per subclass).
    static bool RegisterClassOnce(const char* className, UINT style, HCURSOR cursor, HBRUSH background,
                                  HICON icon = nullptr, const char* menuName = nullptr);
    HWND CreateAs(const char* className, DWORD exStyle, const char* caption, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId);

    // Default: DefWindowProc.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultHandling(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(m_hwnd, msg, wp, lp); }

    // Called when the window is gone; the object may then be deleted.
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND m_hwnd = nullptr;
};

} // namespace ui

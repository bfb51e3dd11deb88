// A thin base for the program's windows: registers a class, creates the
// window with `this` as its creation parameter, stores the pointer at
// WM_NCCREATE and forwards every message to a virtual handler, so WM_CREATE
// already reaches the object. The object never outlives nor owns more than
// its HWND; WM_NCDESTROY detaches it.
//
// The messages whose parameters need decoding are decoded here, once, into
// typed events: sizes, mouse points (signed), commands, notifications and
// context-menu requests (with the keyboard's request placed).
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

// WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP or WM_LBUTTONDBLCLK: where, and
// the keys and buttons held (MK_ flags).
struct TMouse {
    UINT message;
    MousePoint at;
    WPARAM keys;
};

// WM_COMMAND: the command or control id, the notification code, and the
// control that sent it (null for menus and shortcuts).
struct TCommand {
    unsigned id;
    unsigned code;
    HWND control;
};

// WM_CONTEXTMENU: the window whose menu is wanted and where on the screen
// it opens. The keyboard's menu key gives no point; the menu then opens at
// the window's top-left client corner.
struct TContextMenu {
    HWND window;
    POINT screen;
    bool fromKeyboard;
};
TContextMenu ContextMenuFrom(WPARAM wp, LPARAM lp);

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

    // Every message arrives here. The default hands the decoded messages to
    // the typed handlers below and the rest to DefWindowProc; a subclass
    // handles what it needs raw and passes everything else on to it.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultHandling(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(m_hwnd, msg, wp, lp); }

    // Typed handlers: true when handled (the message's result is then 0),
    // false to leave the message to DefWindowProc as well.
    virtual bool OnSize(int width, int height) { return false; }
    virtual bool OnMouse(const TMouse& mouse) { return false; }
    virtual bool OnCommand(const TCommand& command) { return false; }
    virtual bool OnContextMenu(const TContextMenu& menu) { return false; }
    // The notification's result (DefWindowProc answers every one with 0).
    virtual LRESULT OnNotify(NMHDR& header) { return 0; }

    // Called when the window is gone; the object may then be deleted.
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND m_hwnd = nullptr;
};

} // namespace ui

#include "ui/Window.h"

namespace ui {

Window::~Window() {
    if (m_hwnd) {
        // Detach first so no message reaches a half-destroyed object.
        SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

bool Window::RegisterClassOnce(const char* className, UINT style, HCURSOR cursor, HBRUSH background,
                               HICON icon, const char* menuName) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &existing))
        return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &Window::Thunk;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.lpszMenuName = menuName;
    wc.lpszClassName = className;
    return RegisterClassExA(&wc) != 0;
}

HWND Window::CreateAs(const char* className, DWORD exStyle, const char* caption, DWORD style, int x, int y,
                      int width, int height, HWND parent, HMENU menuOrId) {
    return CreateWindowExA(exStyle, className, caption, style, x, y, width, height, parent, menuOrId,
                           GetModuleHandleA(nullptr), this);
}

TContextMenu ContextMenuFrom(WPARAM wp, LPARAM lp) {
    TContextMenu menu{reinterpret_cast<HWND>(wp), POINT{}, lp == -1};
    if (menu.fromKeyboard) {
        ClientToScreen(menu.window, &menu.screen);
    } else {
        const MousePoint at = MouseFromLParam(lp);
        menu.screen = POINT{at.x, at.y};
    }
    return menu;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (OnSize(LOWORD(lp), HIWORD(lp)))
            return 0;
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        if (OnMouse(TMouse{msg, MouseFromLParam(lp), wp}))
            return 0;
        break;
    case WM_COMMAND:
        if (OnCommand(TCommand{LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)}))
            return 0;
        break;
    case WM_CONTEXTMENU:
        if (OnContextMenu(ContextMenuFrom(wp, lp)))
            return 0;
        break;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<NMHDR*>(lp));
    default:
        break;
    }
    return DefaultHandling(msg, wp, lp);
}

LRESULT CALLBACK Window::Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        LRESULT result = self->HandleMessage(msg, wp, lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        self->OnDestroyed();
        return result;
    }
    return self->HandleMessage(msg, wp, lp);
}

} // namespace ui

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

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
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

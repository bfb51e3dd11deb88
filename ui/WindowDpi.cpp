#include "ui/WindowDpi.h"

namespace ui {

namespace {

// Entry points of newer systems, looked up once; null where they do not exist.
template <typename F> F SystemFunction(const char* name) {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

} // namespace

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = SystemFunction<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    WindowDC dc(window);
    const int dpi = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kDesignDpi;
}

UniqueFont CreateFontForDpi(const char* face, int height, int dpi, bool underline) {
    return UniqueFont(CreateFontA(-ScaleForDpi(height, dpi), 0, 0, 0, FW_NORMAL, FALSE,
                                  underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
}

SIZE FrameSizeForDpi(SIZE client, DWORD style, bool menu, DWORD exStyle, int dpi) {
    static const auto adjustForDpi = SystemFunction<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (!adjustForDpi || !adjustForDpi(&frame, style, menu ? TRUE : FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&frame, style, menu ? TRUE : FALSE, exStyle);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

UniqueCursor LoadCursorForDpi(HINSTANCE module, int resourceId, int dpi) {
    const int size = ScaleForDpi(32, dpi);
    return UniqueCursor(
        static_cast<HCURSOR>(LoadImageA(module, MAKEINTRESOURCEA(resourceId), IMAGE_CURSOR, size, size, 0)));
}

} // namespace ui

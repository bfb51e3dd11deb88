#include "ui/MessageLoop.h"

#include "ui/Hints.h"

namespace ui {

bool TMessageLoop::PreTranslate(MSG& msg) const {
    // The hint first, so a control that reports on its own mouse moves
    // (the status it sends) has the last word.
    if (pHints && msg.message == WM_MOUSEMOVE)
        pHints->MouseMessage(msg.hwnd, msg.lParam);
    if (!hMainWindow)
        return true;
    const bool inMainWindow = msg.hwnd == hMainWindow || IsChild(hMainWindow, msg.hwnd);
    if (inMainWindow && hAccelerators && TranslateAcceleratorA(hMainWindow, hAccelerators, &msg))
        return false;
    if (inMainWindow && IsDialogMessageA(hMainWindow, &msg))
        return false;
    return true;
}

int TMessageLoop::Run() const {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!PreTranslate(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace ui

#include "ui/Panel.h"

namespace ui {

bool TPanel::Create(HWND parent, int id) {
    if (!RegisterClassOnce("ui.TPanel", 0, LoadCursor(nullptr, IDC_ARROW),
                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return false;
    return CreateAs("ui.TPanel", WS_EX_CONTROLPARENT, "",
                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}

LRESULT TPanel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // Passed up as they came, before any decoding.
    if (msg == WM_COMMAND || msg == WM_NOTIFY)
        return SendMessageA(GetParent(Handle()), msg, wp, lp);
    return Window::HandleMessage(msg, wp, lp);
}

bool TPanel::OnSize(int, int) {
    Arrange();
    return true;
}

} // namespace ui

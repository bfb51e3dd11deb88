#include "app/Mainform.h"

#include "app/Commands.h"

namespace {
const char* const kClassName = "TfrmMain";
}

bool TfrmMain::Create() {
    if (!RegisterClassOnce(kClassName, CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return false;
    return CreateAs(kClassName, 0, "Snapwell", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                    CW_USEDEFAULT, 800, 600, nullptr, BuildMenu()) != nullptr;
}

void TfrmMain::Show(int showCommand) {
    ShowWindow(Handle(), showCommand);
    UpdateWindow(Handle());
}

HMENU TfrmMain::BuildMenu() {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, cmdExit, "E&xit");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    return bar;
}

void TfrmMain::OnCommand(unsigned id) {
    switch (id) {
    case cmdExit:
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

LRESULT TfrmMain::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wp));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefaultHandling(msg, wp, lp);
    }
}

// Holds the Wine session open for a test run: a GUI process that stays, so
// the desktop process does not start and stop with every test program.
#include <windows.h>

int main() {
    HWND hwnd = CreateWindowExA(0, "STATIC", "keepalive", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    (void)hwnd;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

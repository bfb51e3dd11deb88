#include "harness/Gui.h"

#include <vector>

namespace harness {

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return done();
        PumpMessages();
        Sleep(5);
    }
    return true;
}

namespace {
struct DialogSearch {
    HWND except;
    HWND found;
};

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<DialogSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || hwnd == search->except || !IsWindowVisible(hwnd))
        return TRUE;
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == "#32770") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND FindProcessDialog(HWND except) {
    DialogSearch search{except, nullptr};
    EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::vector<char> text(static_cast<size_t>(length) + 2, '\0');
    GetWindowTextA(hwnd, text.data(), length + 1);
    return text.data();
}

DialogAnswerer::DialogAnswerer(std::function<void(HWND)> answer, DWORD timeoutMs)
    : m_thread([this, answer, timeoutMs] {
          const DWORD start = GetTickCount();
          while (!m_stop && GetTickCount() - start < timeoutMs) {
              if (HWND dialog = FindProcessDialog()) {
                  // Let the dialog finish its own initialisation first.
                  Sleep(50);
                  answer(dialog);
                  m_answered = true;
                  return;
              }
              Sleep(10);
          }
      }) {}

DialogAnswerer::~DialogAnswerer() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void PressButton(HWND dialog, int controlId) {
    // BM_CLICK from another thread would be sent synchronously and block on
    // the dialog's thread; posting WM_COMMAND is what a click delivers.
    HWND button = GetDlgItem(dialog, controlId);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

} // namespace harness

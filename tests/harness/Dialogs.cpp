#include "harness/Dialogs.h"

#include "harness/Gui.h"

namespace harness {

HWND WaitForDialog(HWND except, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        if (HWND dialog = FindProcessDialog(except))
            return dialog;
        Sleep(10);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::string MessageBoxText(HWND box) {
    // Message boxes keep their text in the static control 0xFFFF.
    return WindowText(GetDlgItem(box, 0xFFFF));
}

std::string FirstBoxTextWhile(const std::function<void()>& action) {
    std::string text;
    DialogAnswerer answer([&](HWND box) {
        text = MessageBoxText(box);
        PressButton(box, IDOK);
    });
    action();
    return text;
}

namespace {
struct ButtonSearch {
    std::vector<std::string> texts;
};

BOOL CALLBACK CollectButton(HWND hwnd, LPARAM lp) {
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") == 0 && IsWindowVisible(hwnd))
        reinterpret_cast<ButtonSearch*>(lp)->texts.push_back(WindowText(hwnd));
    return TRUE;
}

struct ClassSearch {
    const char* className;
    HWND found;
};

struct ProcessWindowSearch {
    DWORD pid;
    const char* className;
    HWND found;
};

BOOL CALLBACK FindProcessClass(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<ProcessWindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == search->pid && lstrcmpiA(cls, search->className) == 0 && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindClass(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<ClassSearch*>(lp);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, search->className) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

std::vector<std::string> ButtonTexts(HWND dialog) {
    ButtonSearch search;
    EnumChildWindows(dialog, &CollectButton, reinterpret_cast<LPARAM>(&search));
    return search.texts;
}

HWND FindDescendant(HWND parent, const char* className) {
    // EnumChildWindows already walks every level below the parent.
    ClassSearch search{className, nullptr};
    EnumChildWindows(parent, &FindClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindProcessWindow(DWORD pid, const char* className) {
    ProcessWindowSearch search{pid, className, nullptr};
    EnumWindows(&FindProcessClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TreeItemText(HWND tree, HTREEITEM item) {
    char text[MAX_PATH] = {};
    TVITEMA tvi{};
    tvi.mask = TVIF_TEXT;
    tvi.hItem = item;
    tvi.pszText = text;
    tvi.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi));
    return text;
}

HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& text) {
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM,
                                                         parent == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD,
                                                         reinterpret_cast<LPARAM>(parent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        if (lstrcmpiA(TreeItemText(tree, item).c_str(), text.c_str()) == 0)
            return item;
    }
    return nullptr;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return done();
        Sleep(10);
    }
    return true;
}

} // namespace harness

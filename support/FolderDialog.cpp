#include "support/FolderDialog.h"

#include "support/LongPath.h"
#include "support/MulDiv.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace {
// An item list the shell allocated, freed through the shell's allocator.
class ShellItemList {
public:
    ShellItemList() = default;
    explicit ShellItemList(LPITEMIDLIST list) : m_pList(list) {}
    ~ShellItemList() {
        if (!m_pList)
            return;
        IMalloc* malloc = nullptr;
        if (SUCCEEDED(SHGetMalloc(&malloc))) {
            malloc->Free(m_pList);
            malloc->Release();
        }
    }
    ShellItemList(const ShellItemList&) = delete;
    ShellItemList& operator=(const ShellItemList&) = delete;
    LPITEMIDLIST Get() const { return m_pList; }
    LPITEMIDLIST* Out() { return &m_pList; }

private:
    LPITEMIDLIST m_pList = nullptr;
};

// The new-style dialog needs OLE on the calling thread; balanced only when
// this scope was the one that succeeded.
class OleScope {
public:
    OleScope() : m_bInitialised(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleScope() {
        if (m_bInitialised)
            OleUninitialize();
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;

private:
    bool m_bInitialised;
};

// Copies at most `limit` characters of `from` and terminates the copy;
// `to` holds at least limit + 1 characters.
void BoundedCopy(char* to, const char* from, size_t limit) {
    const size_t length = strnlen(from, limit);
    std::memcpy(to, from, length);
    to[length] = '\0';
}

// The item's file-system path, read wide: the narrow call writes at most
// MAX_PATH bytes, which a UTF-8 path may exceed, and then gives a cut path.
bool ItemPath(LPCITEMIDLIST item, std::wstring& path) {
    wchar_t wide[kBrowseTextChars] = {};
    if (!item || !SHGetPathFromIDListW(item, wide))
        return false;
    path = wide;
    return true;
}

// A choice is acceptable when it is a folder on disk that exists now and is
// not a shortcut.
bool IsAcceptableChoice(LPCITEMIDLIST item) {
    std::wstring path;
    if (!ItemPath(item, path) || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    SHFILEINFOA info{};
    if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(item), 0, &info, sizeof info,
                       SHGFI_PIDL | SHGFI_ATTRIBUTES) &&
        (info.dwAttributes & SFGAO_LINK))
        return false;
    return true;
}

void ApplyVerdict(HWND dialog, BOOL acceptable) {
    EnableWindow(GetDlgItem(dialog, IDOK), acceptable);
    EnableWindow(GetDlgItem(dialog, kBrowseNewFolderId), acceptable);
}

// Some shells run their own check of a new choice after the callback and
// enable OK for any file-system folder, a removed one included; the
// callback's verdict on the current choice stands over theirs.
LRESULT CALLBACK KeepVerdict(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) {
    const auto* browse = reinterpret_cast<const BrowseData*>(ref);
    if (msg == BFFM_ENABLEOK && browse->m_nAcceptable >= 0) {
        const LRESULT result = DefSubclassProc(dialog, msg, wp, browse->m_nAcceptable);
        ApplyVerdict(dialog, browse->m_nAcceptable);
        return result;
    }
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(dialog, &KeepVerdict, id);
    return DefSubclassProc(dialog, msg, wp, lp);
}

void MoveWithoutRepaint(HWND window, int left, int top) {
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}
} // namespace

bool BrowseForFolder(HWND owner, const char* initialFolder, int root, const char* title, char* buffer,
                     int bufferSize, const RECT* position, bool allowNewFolder) {
    if (!buffer || bufferSize < kBrowseMinResultChars)
        return false;
    std::memset(buffer, 0, static_cast<size_t>(bufferSize));
    OleScope ole;

    ShellItemList rootList;
    if (root != -1 && FAILED(SHGetSpecialFolderLocation(owner, root, rootList.Out())))
        *rootList.Out() = nullptr;

    char initial[kBrowseTextBytes] = {};
    const auto initialValue = reinterpret_cast<uintptr_t>(initialFolder);
    if (initialValue >> 16)
        BoundedCopy(initial, initialFolder, kBrowseTextBytes - 2);
    else if (initialValue != 0)
        SHGetSpecialFolderPathA(owner, initial, static_cast<int>(initialValue), FALSE);
    if (!initial[0] && !rootList.Get())
        GetCurrentDirectoryA(kBrowseTextBytes - 2, initial);

    const UINT flags = BIF_NEWDIALOGSTYLE | (allowNewFolder ? 0 : BIF_NONEWFOLDERBUTTON);
    BrowseData data{title ? title : "", initial, position, 0, flags, -1};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = rootList.Get();
    info.ulFlags = flags;
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&data);

    ShellItemList chosen(SHBrowseForFolderA(&info));
    std::wstring path;
    if (!ItemPath(chosen.Get(), path))
        return false;
    const std::string narrow = longpath::Narrow(path);
    if (narrow.empty() || narrow.size() > static_cast<size_t>(bufferSize) - 1)
        return false;
    BoundedCopy(buffer, narrow.c_str(), narrow.size());
    return true;
}

int CALLBACK BrowseCallback(HWND dialog, UINT event, LPARAM value, LPARAM data) {
    auto* browse = reinterpret_cast<BrowseData*>(data);
    if (event == BFFM_INITIALIZED) {
        SetWindowSubclass(dialog, &KeepVerdict, 0, reinterpret_cast<DWORD_PTR>(browse));
        // No context help: the program has no help topics for the shell's controls.
        SetWindowLongA(dialog, GWL_STYLE, GetWindowLongA(dialog, GWL_STYLE) & ~DS_CONTEXTHELP);
        SetWindowLongA(dialog, GWL_EXSTYLE, GetWindowLongA(dialog, GWL_EXSTYLE) & ~WS_EX_CONTEXTHELP);
        if (browse->m_pInitialFolder[0]) {
            // A shell that sets up its own special folders while it first
            // walks the tree can lose its way on that walk; the second walk
            // finds the folder, and selecting it again changes nothing.
            for (int attempt = 0; attempt < 2; ++attempt)
                SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE,
                             reinterpret_cast<LPARAM>(browse->m_pInitialFolder));
            // Expanding takes the folder wide. (No MB_PRECOMPOSED: the
            // conversion refuses flags where the code page is UTF-8, and
            // precomposed characters are its default anyway.)
            const std::wstring wide = longpath::Widen(browse->m_pInitialFolder);
            SendMessageA(dialog, BFFM_SETEXPANDED, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
        }
        if (browse->m_pTitle[0])
            SetWindowTextA(dialog, browse->m_pTitle);
        PositionBrowseDialog(dialog, *browse);
    } else if (event == BFFM_SELCHANGED) {
        browse->m_nAcceptable = IsAcceptableChoice(reinterpret_cast<LPCITEMIDLIST>(value)) ? 1 : 0;
        ApplyVerdict(dialog, browse->m_nAcceptable);
    }
    return 0;
}

void PositionBrowseDialog(HWND dialog, const BrowseData& data) {
    if (!IsWindow(dialog))
        return;
    for (int id : {kBrowseInstructionId, kBrowseFolderLabelId}) {
        if (HWND label = GetDlgItem(dialog, id)) {
            SetWindowPos(label, nullptr, 20000, 20000, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
            ShowWindow(label, SW_HIDE);
        }
    }

    if (data.m_pPosition)
        MoveWithoutRepaint(dialog, data.m_pPosition->left, data.m_pPosition->top);
    // Centred on the screen whether or not the tree's host is there to lift:
    // the centring does not depend on it.
    RECT frame{};
    GetWindowRect(dialog, &frame);
    MoveWithoutRepaint(
        dialog, snapwell::Half(GetSystemMetrics(SM_CXSCREEN)) - snapwell::Half(frame.right - frame.left),
        snapwell::Half(GetSystemMetrics(SM_CYSCREEN)) - snapwell::Half(frame.bottom - frame.top));

    HWND host = GetDlgItem(dialog, kBrowseTreeHostId);
    if (!host)
        return;
    RECT area{};
    GetWindowRect(host, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    // The hidden instruction leaves a gap above the tree: close it, as wide
    // a margin at the top as at the left, keeping the bottom edge.
    SetWindowPos(host, nullptr, area.left, area.left, area.right - area.left, area.bottom - area.left,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(host), TRUE);
}

#include "support/SaveDialog.h"

#include "support/FileIdentity.h"
#include "support/LongPath.h"
#include "support/Paths.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

namespace {

// The longest folder the dialog opens at: MAX_PATH with a backslash and the
// terminating zero.
constexpr size_t kMaxDialogFolderChars = MAX_PATH - 3;

// The dialog's limits count characters (UTF-16 units), its narrow texts
// bytes: in UTF-8 a unit takes up to three of them (a pair of units four).
constexpr size_t kBytesPerChar = 3;

size_t CharsOf(const std::string& text) {
    return longpath::Widen(text).size();
}

// Without an initial folder the dialog opens where it likes; an 8.3 form is
// taken only when it leads back to the folder (Wine makes its short names
// from a hash, which two names may share).
std::string DialogFolder(const std::string& folder) {
    if (CharsOf(folder) <= kMaxDialogFolderChars)
        return folder;
    const std::string shortForm = ShortPathOf(folder);
    return CharsOf(shortForm) <= kMaxDialogFolderChars && SameFileOrFolder(shortForm, folder) ? shortForm
                                                                                               : std::string();
}

struct TLongChoice {
    std::string sExtension; // the default extension with its dot
    std::string sPath;
    bool bTaken = false;
};

// OK with a plain name (no folder, no pattern) whose path in the dialog's
// folder is too long for the dialog: the path is joined here and the dialog
// closed, before it joins them into its own buffers.
LRESULT CALLBACK TakeLongChoice(HWND frame, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) {
    if (msg == WM_COMMAND && LOWORD(wp) == IDOK) {
        auto* choice = reinterpret_cast<TLongChoice*>(ref);
        char szFolder[kBytesPerChar * MAX_PATH + 1] = {};
        char szName[kBytesPerChar * MAX_PATH + 1] = {};
        const LRESULT nFolder = SendMessageA(frame, CDM_GETFOLDERPATH, sizeof szFolder, LPARAM(szFolder));
        const LRESULT nName = SendMessageA(frame, CDM_GETSPEC, sizeof szName, LPARAM(szName));
        std::string sName = nName > 1 && nName <= LRESULT(sizeof szName) ? szName : "";
        if (nFolder > 1 && !sName.empty() && sName.find_first_of("\\/:*?\"<>|") == std::string::npos) {
            if (sName.find('.') == std::string::npos)
                sName += choice->sExtension;
            const std::string sPath = JoinPath(szFolder, sName);
            if (CharsOf(sPath) >= MAX_PATH) {
                choice->sPath = sPath;
                choice->bTaken = true;
                PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
                return 0;
            }
        }
    }
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(frame, &TakeLongChoice, id);
    return DefSubclassProc(frame, msg, wp, lp);
}

UINT_PTR CALLBACK WatchLongChoice(HWND hook, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        const auto* ofn = reinterpret_cast<const OPENFILENAMEA*>(lp);
        SetWindowSubclass(GetParent(hook), &TakeLongChoice, 1, DWORD_PTR(ofn->lCustData));
    }
    return 0;
}

} // namespace

bool ChooseSaveFile(HWND owner, const std::string& folder, const std::string& name, const char* filter,
                    const char* defaultExtension, std::string& path) {
    std::vector<char> szFile(kBytesPerChar * MAX_PATH * 2, '\0');
    name.copy(szFile.data(), szFile.size() - 1);
    const std::string sInitialFolder = DialogFolder(folder);
    TLongChoice choice;
    choice.sExtension = std::string(".") + defaultExtension;
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = szFile.data();
    ofn.nMaxFile = DWORD(szFile.size());
    ofn.lpstrInitialDir = sInitialFolder.empty() ? nullptr : sInitialFolder.c_str();
    ofn.lpstrDefExt = defaultExtension;
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    // Only where the proposed path is too long for the dialog: a hook makes
    // newer systems show the older form of the dialog.
    if (CharsOf(folder) + 1 + CharsOf(name) >= MAX_PATH) {
        ofn.Flags |= OFN_ENABLEHOOK;
        ofn.lpfnHook = &WatchLongChoice;
        ofn.lCustData = LPARAM(&choice);
    }
    if (GetSaveFileNameA(&ofn)) {
        path = szFile.data();
        return true;
    }
    if (!choice.bTaken)
        return false;
    path = choice.sPath;
    return true;
}

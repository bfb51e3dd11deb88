#include "support/Folders.h"

#include "resources/StringIds.h"
#include "support/FolderDialog.h"
#include "support/LongPath.h"
#include "support/Message.h"
#include "support/MulDiv.h"
#include "support/Paths.h"
#include "support/StringTable.h"

namespace {
// Size of the rectangle the dialog is first placed in, centred on its owner.
constexpr int kBrowseWidth = 500;
constexpr int kBrowseHeight = 400;
} // namespace

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolderWithParents(const std::string& folder) {
    for (const std::string& step : FolderChain(folder)) {
        // Another process may create the same folder meanwhile: what counts
        // is that it exists afterwards.
        if (!FolderExists(step) && !CreateDirectoryW(LongPath(step).c_str(), nullptr) && !FolderExists(step))
            return false;
    }
    return FolderExists(folder);
}

bool SelectFolder(HWND owner, const std::string& title, std::string& folder, bool allowNewFolder) {
    RECT position{};
    const RECT* placement = nullptr;
    RECT frame{};
    if (owner && GetWindowRect(owner, &frame)) {
        position.left = frame.left + snapwell::Half(frame.right - frame.left - kBrowseWidth);
        position.top = frame.top + snapwell::Half(frame.bottom - frame.top - kBrowseHeight);
        position.right = position.left + kBrowseWidth;
        position.bottom = position.top + kBrowseHeight;
        placement = &position;
    }
    // Room for any path the dialog gives: whether it fits where the caller
    // keeps it is the caller's to say (ConfirmFolderFits).
    char chosen[kBrowseResultBytes];
    if (!BrowseForFolder(owner, folder.c_str(), -1, title.c_str(), chosen, sizeof chosen, placement,
                         allowNewFolder))
        return false;
    folder = chosen;
    return true;
}

bool ConfirmFolderFits(HWND owner, const std::string& folder, size_t maxBytes) {
    if (folder.size() <= maxBytes)
        return true;
    if (g_pMesg)
        g_pMesg->Show(FormatResString(IDS_FOLDER_TOO_LONG, folder), kMesgError, owner);
    return false;
}

bool ConfirmFolder(HWND owner, const std::string& folder) {
    if (FolderExists(folder))
        return true;
    if (folder.empty() || !g_pMesg)
        return false;
    if (g_pMesg->Show(FormatResString(IDS_CREATE_FOLDER, folder), kMesgQuestion, owner) != IDYES)
        return false;
    return CreateFolderWithParents(folder);
}

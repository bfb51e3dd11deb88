// Copy Image: the selected picture, turned as the user turned it, cut to the
// crop box and scaled to the copy size the view promises, written as a JPEG
// into the copy folder; then, with auto advance, the next picture.
#include "app/Mainform.h"

#include "app/MainRules.h"
#include "resources/StringIds.h"
#include "support/FileIdentity.h"
#include "support/Folders.h"
#include "support/Message.h"
#include "support/MessageText.h"
#include "support/NarrowText.h"
#include "support/Paths.h"
#include "support/SaveDialog.h"
#include "support/StringTable.h"
#include "support/SystemError.h"

namespace {

constexpr int32_t kCopyQuality = 100;

bool SameText(const std::string& a, const std::string& b) {
    return CompareNames(a, b) == CSTR_EQUAL;
}

// A message with the path in its first placeholder and the reason in the
// second; a "%s" inside the path stays as it is.
std::string FormatWithReason(int nId, const std::string& sPath, const std::string& sReason) {
    const std::string sFormat = LoadResString(nId);
    const size_t at = sFormat.find("%s");
    if (at == std::string::npos)
        return sFormat;
    return sFormat.substr(0, at) + sPath + ReplacePlaceholder(sFormat.substr(at + 2), sReason);
}

} // namespace

bool TfrmMain::IsListedSourceImage(const std::string& sPath) const {
    // Only a file that is there can be replaced. Its folder and the name
    // that folder keeps for it, however the path spelled them (another
    // drive or share, an 8.3 name), are compared with the listed folder and
    // its entries.
    const TImageList& list = m_pState->Images();
    std::string sFolder, sName;
    if (!LocateFile(sPath, sFolder, sName) || !SameFileOrFolder(sFolder, AddTrailingBackslash(list.Folder())))
        return false;
    for (const std::string& sListed : list.Names())
        if (SameText(sName, sListed))
            return true;
    return false;
}

bool TfrmMain::ChooseCopyPath(const std::string& sFolder, const std::string& sName, std::string& sPath) {
    return ChooseSaveFile(Handle(), sFolder, sName, "JPEG files (*.jpg)\0*.jpg\0", "jpg", sPath);
}

void TfrmMain::actCopyExecute() {
    ui::WaitCursor wait;
    const std::string sSourceFile = SelectedImagePath();
    const bool bChanged = m_pPictures->Outdated(sSourceFile);
    if (!LoadSelectedImage(false)) {
        g_pMesg->Show(FormatResString(IDS_SOURCE_OPEN_FAILED, sSourceFile), kMesgError);
        return;
    }
    // A file read again (changed on disk) and turned needed the read-ahead's
    // memory; the next picture is read again once the copy is made.
    ScheduleReadAhead();
    if (bChanged) {
        // The crop was chosen on the picture shown, which the file no longer
        // holds: the user sees the new one and chooses again.
        ShowImageBitmap();
        g_pMesg->Show(FormatResString(IDS_SOURCE_CHANGED, sSourceFile), kMesgInformation);
        return;
    }

    const TProperties& settings = m_pState->Settings();
    const std::string sTarget = RemoveTrailingBackslash(settings.m_szTargetFolder);
    if (!FolderExists(sTarget)) {
        if (g_pMesg->Show(FormatResString(IDS_TARGET_MISSING, sTarget), kMesgQuestion) != IDYES)
            return;
        if (!CreateFolderWithParents(sTarget)) {
            g_pMesg->Show(FormatResString(IDS_FOLDER_CREATE_FAILED, sTarget), kMesgError);
            return;
        }
    }
    // The same folder however it is spelled: the trailing backslash keeps a
    // drive's root from meaning the drive's current folder.
    const std::string sSource = RemoveTrailingBackslash(settings.m_szSourceFolder);
    if (SameFileOrFolder(AddTrailingBackslash(sSource), AddTrailingBackslash(sTarget))) {
        g_pMesg->ShowId(IDS_FOLDERS_NOT_DIFFERENT, kMesgError);
        return;
    }

    if (m_pState->Images().Selected() == TImageList::kNone)
        return;
    const std::string sName = CopyFileName(m_pState->Images().SelectedName());
    std::string sPath = JoinPath(sTarget, sName);

    const bool bAsk = settings.m_nFilenameMode == fmAlwaysPrompt ||
                      (settings.m_nFilenameMode == fmPromptOverwrite && FileExists(sPath));
    if (bAsk && !ChooseCopyPath(sTarget, sName, sPath))
        return;
    // The dialog allows any path: whichever way the name was settled, a copy
    // never replaces an original.
    if (IsListedSourceImage(sPath)) {
        g_pMesg->Show(FormatResString(IDS_COPY_WOULD_REPLACE_SOURCE, sPath), kMesgInformation);
        return;
    }

    SyncViewSettings();
    TRect crop{0, 0, 0, 0};
    TSize copy = m_pImageCtrl->GetCropGeometry(crop, true);
    if (copy.Width == 0 || copy.Height == 0)
        copy = TSize{crop.Width(), crop.Height()};
    // The picture stays as it is shown, for the next copy or turn.
    if (!m_pImage->WriteCopy(sPath, copy.Width, copy.Height, crop.Left, crop.Top, crop.Right, crop.Bottom,
                             kCopyQuality)) {
        char szReason[256] = {};
        GetSystemErrorText(static_cast<int32_t>(m_pImage->LastWriteError()), szReason, sizeof szReason);
        g_pMesg->Show(FormatWithReason(IDS_COPY_WRITE_FAILED, sPath, szReason), kMesgError);
        return;
    }
    if (settings.m_bAutoAdvance)
        SelectStep(1);
}

// The image tree and navigation: filling the tree from the source folder,
// loading and showing the selected image, rotating it, next and previous
// with wrap-around, and choosing the source folder.
#include "app/Mainform.h"

#include "app/MainRules.h"
#include "resources/StringIds.h"
#include "support/Folders.h"
#include "support/LongPath.h"
#include "support/Message.h"
#include "support/NarrowText.h"
#include "support/Paths.h"
#include "support/StringTable.h"

#include <algorithm>
#include <vector>

namespace {

// Icons of tvImageList.
constexpr int kFolderIcon = 0;
constexpr int kSelectedImageIcon = 1;
constexpr int kImageIcon = 2;

// The folder's entry carries this in place of a picture's index.
constexpr LPARAM kFolderEntry = -1;

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const std::string& text, int image, int selectedImage,
                     LPARAM nImage) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.lParam = nImage;
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// The tree's own alphabetical order, as it sorts entries by their text.
bool TreeOrder(const std::string& a, const std::string& b) {
    return CompareNames(a, b) == CSTR_LESS_THAN;
}

// The names of the folder's image files: the extension is one the image
// object reads and the file is not hidden. Folders count by their name too.
// The names are read wide and kept as narrow texts whole: in UTF-8 a name of
// 255 characters takes up to 765 bytes, which the narrow search's 260-byte
// name field cannot hold.
std::vector<std::string> ImageFilesIn(const std::string& sFolder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(longpath::Widen(sFolder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string sName = longpath::Narrow(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) && CImage::IsImageExtension(ExtensionOf(sName)))
            names.push_back(sName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

} // namespace

void TfrmMain::PopulateTree() {
    m_bPopulating = true;
    ui::WaitCursor wait;
    TImageList& list = m_pState->Images();
    list.SetFolder(RemoveTrailingBackslash(m_pState->Settings().m_szSourceFolder));
    const std::string& sFolder = list.Folder();

    if (FolderExists(sFolder) || FolderExists(AddTrailingBackslash(sFolder))) {
        // The memory of the picture read ahead waits for the next read-ahead
        // (freed below when no picture follows); the view is painted empty
        // only when none follows, and the commands follow at the end.
        m_pPictures->StopReadAhead();
        m_pImageCtrl->ClearUnpainted();
        // One redraw for the whole fill, and entries added in the tree's own
        // order at the end of the list instead of a sorted insertion each.
        SendMessageA(tvImages, WM_SETREDRAW, FALSE, 0);
        SendMessageA(tvImages, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        std::vector<std::string> names = ImageFilesIn(sFolder);
        std::stable_sort(names.begin(), names.end(), TreeOrder);
        list.Assign(std::move(names));
        HTREEITEM root =
            InsertItem(tvImages, TVI_ROOT, FolderEntryText(sFolder), kFolderIcon, kFolderIcon, kFolderEntry);
        m_TreeItems.clear();
        for (size_t i = 0; i < list.Names().size(); ++i)
            m_TreeItems.push_back(InsertItem(tvImages, root, list.Names()[i], kImageIcon, kSelectedImageIcon,
                                             static_cast<LPARAM>(i)));
        SendMessageA(tvImages, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
        SendMessageA(tvImages, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(tvImages, nullptr, TRUE);
    } else {
        m_pPictures->DropReadAhead();
    }
    m_bPopulating = false;

    if (!list.Empty()) {
        TreeView_SelectItem(tvImages, m_TreeItems.front());
        SetFocus(tvImages);
    } else {
        m_pPictures->DropReadAhead();
    }
    UpdateWindow(m_pImageCtrl->Handle()); // emptied above, when no picture painted over it
    UpdateCommands();
}

bool TfrmMain::tvImagesChanging(HTREEITEM hItem) const {
    // The folder entry cannot be selected.
    return hItem != nullptr && hItem == TreeView_GetRoot(tvImages);
}

void TfrmMain::tvImagesChange(HTREEITEM hItem, LPARAM nImage) {
    if (m_bClosed)
        return;
    m_pState->Images().Select(hItem && nImage != kFolderEntry ? static_cast<size_t>(nImage)
                                                              : TImageList::kNone);
    if (!hItem || m_bPopulating)
        return;
    ui::WaitCursor wait;
    if (nImage == kFolderEntry) {
        m_pImageCtrl->Clear();
        ResetStatus();
    } else {
        m_nRotation = -1;
        if (!LoadSelectedImage(true))
            ResetStatus(); // no message: Copy Image reports the file when it tries it again
        ScheduleReadAhead();
    }
    UpdateCommands();
}

LRESULT TfrmMain::OnTreeNotify(NMHDR& header) {
    switch (header.code) {
    case TVN_SELCHANGINGA:
        return tvImagesChanging(reinterpret_cast<NMTREEVIEWA&>(header).itemNew.hItem) ? TRUE : FALSE;
    case TVN_SELCHANGINGW:
        return tvImagesChanging(reinterpret_cast<NMTREEVIEWW&>(header).itemNew.hItem) ? TRUE : FALSE;
    case TVN_SELCHANGEDA: {
        const TVITEMA& item = reinterpret_cast<NMTREEVIEWA&>(header).itemNew;
        tvImagesChange(item.hItem, item.lParam);
        return 0;
    }
    case TVN_SELCHANGEDW: {
        const TVITEMW& item = reinterpret_cast<NMTREEVIEWW&>(header).itemNew;
        tvImagesChange(item.hItem, item.lParam);
        return 0;
    }
    case TVN_ITEMEXPANDINGA:
        // The folder entry stays expanded.
        return (reinterpret_cast<NMTREEVIEWA&>(header).action & TVE_COLLAPSE) ? TRUE : FALSE;
    case TVN_ITEMEXPANDINGW:
        return (reinterpret_cast<NMTREEVIEWW&>(header).action & TVE_COLLAPSE) ? TRUE : FALSE;
    default:
        return 0;
    }
}

std::string TfrmMain::SelectedImagePath() const {
    const TImageList& list = m_pState->Images();
    if (list.Selected() == TImageList::kNone)
        return {};
    return JoinPath(m_pState->Settings().m_szSourceFolder, list.SelectedName());
}

void TfrmMain::ShowImageBitmap() {
    // The new picture is placed by the settings as they are now; the view
    // asks the picture cache for its bitmap at the size it places it.
    SyncViewSettings();
    const SIZE size = m_pPictures->ShownSize();
    m_pImageCtrl->SetPicture(size.cx, size.cy);
}

void TfrmMain::ClearView() {
    m_pImageCtrl->ClearUnpainted();
}

// With bShow, the picture of the selected file as it is on disk now shown
// as soon as can be (reduced at first when it was not read ahead); without,
// the whole picture in the image object turned by the user's rotation, for
// what needs every pixel: the one decoded before when the file is unchanged
// (the read-ahead included), else the file read again.
bool TfrmMain::LoadSelectedImage(bool bShow) {
    if (!bShow)
        return m_pPictures->Use(SelectedImagePath(), m_nRotation);
    RECT client{};
    GetClientRect(m_pImageCtrl->Handle(), &client);
    if (!m_pPictures->Show(SelectedImagePath(), m_nRotation, client.right, client.bottom))
        return false;
    ShowImageBitmap();
    return true;
}

void TfrmMain::RotateImage(int32_t nCode) {
    ui::WaitCursor wait;
    const std::string sPath = SelectedImagePath();
    // A file changed on disk is read again (and shown turned as before).
    if (!m_pPictures->Shows(sPath) && !LoadSelectedImage(false))
        return;
    // Shown turned at once from the picture as it is held; the picture
    // itself is turned once the view shows it (FinishTurn).
    m_nRotation = CombineRotation(m_nRotation, nCode);
    m_pPictures->SetRotation(m_nRotation);
    ShowImageBitmap();
    ScheduleTurn();
}

void TfrmMain::ScheduleTurn() {
    if (!m_bTurnPosted && PostMessageA(Handle(), WM_FINISHTURN, 0, 0))
        m_bTurnPosted = true;
}

void TfrmMain::FinishTurn() {
    m_bTurnPosted = false;
    const std::string sPath = SelectedImagePath();
    // A picture still being read whole is turned when it arrives.
    if (sPath.empty() || !m_pPictures->HoldsWhole(sPath))
        return;
    if (m_pPictures->HeldRotation() == m_nRotation)
        return;
    if (!m_pPictures->Use(sPath, m_nRotation) && m_pPictures->HoldsWhole(sPath)) {
        // A turn that could not be made (memory) is not counted: the
        // picture is shown as it is held, so the copy is never turned
        // otherwise than the picture on screen.
        m_nRotation = m_pPictures->HeldRotation();
        m_pPictures->SetRotation(m_nRotation);
        ShowImageBitmap();
        UpdateCommands();
        g_pMesg->Show(FormatResString(IDS_TURN_FAILED, sPath), kMesgInformation);
    }
    ScheduleReadAhead(); // the turn needed the read-ahead's memory
}

void TfrmMain::ScheduleReadAhead() {
    if (!m_bReadAheadPosted && PostMessageA(Handle(), WM_STARTREADAHEAD, 0, 0))
        m_bReadAheadPosted = true;
}

void TfrmMain::ReadAheadNeighbour() {
    const TImageList& list = m_pState->Images();
    const size_t next = list.Neighbour();
    m_pPictures->ReadAhead(next == TImageList::kNone
                               ? std::string()
                               : JoinPath(m_pState->Settings().m_szSourceFolder, list.Names()[next]));
}

void TfrmMain::SelectStep(int nDirection) {
    TImageList& list = m_pState->Images();
    const bool bSelected = list.Selected() != TImageList::kNone;
    const TImageList::TStep step = list.Step(nDirection);
    if (step.index != TImageList::kNone) {
        // Going round an end: the first or last picture follows at once and
        // paints over the empty view, which is left to the next paint (shown
        // empty when the picture cannot be read).
        if (step.bRound && bSelected) {
            TreeView_SelectItem(tvImages, nullptr);
            m_pImage->Unload();
            ClearView();
        }
        TreeView_SelectItem(tvImages, m_TreeItems[step.index]);
        if (step.bRound)
            SetFocus(tvImages);
    }
}

void TfrmMain::btnSourceClick() {
    std::string sFolder = m_pState->Settings().m_szSourceFolder;
    if (SelectFolder(Handle(), LoadResString(IDS_SELECT_SOURCE_FOLDER), sFolder, false) &&
        ConfirmFolderFits(Handle(), sFolder, TProperties::kMaxFolderBytes) && ConfirmFolder(Handle(), sFolder)) {
        m_pState->Settings().SetSourceFolder(sFolder.c_str());
        PopulateTree();
    }
}

// The image tree and navigation: filling the tree from the source folder,
// loading and showing the selected image, rotating it, next and previous
// with wrap-around, and choosing the source folder.
#include "app/Mainform.h"

#include "app/MainRules.h"
#include "resources/StringIds.h"
#include "support/Folders.h"
#include "support/Paths.h"
#include "support/StringTable.h"

#include <algorithm>
#include <vector>

namespace {

// Icons of tvImageList.
constexpr int kFolderIcon = 0;
constexpr int kSelectedImageIcon = 1;
constexpr int kImageIcon = 2;

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const std::string& text, int image, int selectedImage) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// The tree's own alphabetical order, as it sorts entries by their text.
bool TreeOrder(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_LESS_THAN;
}

// The names of the folder's image files: the extension is one the image
// object reads and the file is not hidden. Folders count by their name too.
std::vector<std::string> ImageFilesIn(const std::string& sFolder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((sFolder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) &&
            CImage::IsImageExtension(ExtensionOf(found.cFileName)))
            names.emplace_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

} // namespace

void TfrmMain::PopulateTree() {
    m_bPopulating = true;
    m_bHasImages = false;
    ui::WaitCursor wait;
    m_sFolder = RemoveTrailingBackslash(m_pProperties->m_szSourceFolder);

    if (FolderExists(m_sFolder) || FolderExists(AddTrailingBackslash(m_sFolder))) {
        // The memory of the picture read ahead waits for the next read-ahead
        // (freed below when no picture follows); the view is painted empty
        // only when none follows, and the commands follow at the end.
        m_pPictures->StopReadAhead();
        m_SpareBitmap.Reset(m_pImageCtrl->TakeBitmap());
        m_pImageCtrl->ClearUnpainted();
        // One redraw for the whole fill, and entries added in the tree's own
        // order at the end of the list instead of a sorted insertion each.
        SendMessageA(tvImages, WM_SETREDRAW, FALSE, 0);
        SendMessageA(tvImages, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        HTREEITEM root = InsertItem(tvImages, TVI_ROOT, FolderEntryText(m_sFolder), kFolderIcon, kFolderIcon);
        std::vector<std::string> names = ImageFilesIn(m_sFolder);
        std::stable_sort(names.begin(), names.end(), TreeOrder);
        for (const std::string& name : names)
            InsertItem(tvImages, root, name, kImageIcon, kSelectedImageIcon);
        SendMessageA(tvImages, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
        SendMessageA(tvImages, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(tvImages, nullptr, TRUE);
    } else {
        m_pPictures->DropReadAhead();
    }
    m_bPopulating = false;

    HTREEITEM root = TreeView_GetRoot(tvImages);
    HTREEITEM first = root ? TreeView_GetChild(tvImages, root) : nullptr;
    if (first) {
        TreeView_SelectItem(tvImages, first);
        SetFocus(tvImages);
        m_bHasImages = true;
    } else {
        m_pPictures->DropReadAhead();
    }
    m_SpareBitmap.Reset(); // no picture took it
    UpdateWindow(m_pImageCtrl->Handle()); // emptied above, when no picture painted over it
    UpdateCommands();
}

bool TfrmMain::tvImagesChanging(HTREEITEM hItem) const {
    // The folder entry cannot be selected.
    return hItem != nullptr && hItem == TreeView_GetRoot(tvImages);
}

void TfrmMain::tvImagesChange() {
    HTREEITEM selected = TreeView_GetSelection(tvImages);
    if (!selected || m_bPopulating || m_bClosed)
        return;
    ui::WaitCursor wait;
    if (selected == TreeView_GetRoot(tvImages)) {
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

LRESULT TfrmMain::OnTreeNotify(NMHDR* pHeader) {
    switch (pHeader->code) {
    case TVN_SELCHANGINGA:
        return tvImagesChanging(reinterpret_cast<NMTREEVIEWA*>(pHeader)->itemNew.hItem) ? TRUE : FALSE;
    case TVN_SELCHANGINGW:
        return tvImagesChanging(reinterpret_cast<NMTREEVIEWW*>(pHeader)->itemNew.hItem) ? TRUE : FALSE;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        tvImagesChange();
        return 0;
    case TVN_ITEMEXPANDINGA:
        // The folder entry stays expanded.
        return (reinterpret_cast<NMTREEVIEWA*>(pHeader)->action & TVE_COLLAPSE) ? TRUE : FALSE;
    case TVN_ITEMEXPANDINGW:
        return (reinterpret_cast<NMTREEVIEWW*>(pHeader)->action & TVE_COLLAPSE) ? TRUE : FALSE;
    default:
        return 0;
    }
}

std::string TfrmMain::SelectedImagePath() const {
    HTREEITEM selected = TreeView_GetSelection(tvImages);
    if (!selected)
        return {};
    return JoinPath(m_pProperties->m_szSourceFolder, ItemText(selected));
}

void TfrmMain::ShowImageBitmap() {
    // The bitmap shown gives the new one its memory when their sizes agree
    // (none of it is mapped afresh) and goes first otherwise: two bitmaps
    // beside two pictures would break the bound of two pictures and one
    // bitmap. Nothing paints before SetBitmap.
    HBITMAP hShown = m_pImageCtrl->TakeBitmap();
    if (hShown == nullptr)
        hShown = m_SpareBitmap.Release();
    m_SpareBitmap.Reset();
    ui::WindowDC dc(m_pImageCtrl->Handle());
    m_pImageCtrl->SetBitmap(m_pImage->CreateBitmap(dc.Get(), hShown));
}

// Going round an end: the first or last picture follows at once and paints
// over the empty view, which is left to the next paint (shown empty when the
// picture cannot be read).
std::string TfrmMain::ItemText(HTREEITEM hItem) const {
    char szText[MAX_PATH + 1] = {};
    TVITEMA tvi{};
    tvi.mask = TVIF_TEXT | TVIF_HANDLE;
    tvi.hItem = hItem;
    tvi.pszText = szText;
    tvi.cchTextMax = sizeof szText;
    if (!hItem || !SendMessageA(tvImages, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi)))
        return {};
    return szText;
}

// The folder entry stays expanded and pictures have no entries below them,
// so the tree's last visible entry is the last picture: no walk across a
// folder of thousands.
HTREEITEM TfrmMain::LastImageItem() const {
    HTREEITEM last = TreeView_GetLastVisible(tvImages);
    return last != TreeView_GetRoot(tvImages) ? last : nullptr;
}

void TfrmMain::ClearView() {
    m_SpareBitmap.Reset(m_pImageCtrl->TakeBitmap());
    m_pImageCtrl->ClearUnpainted();
}

// The picture of the file as it is on disk now, turned by the user's
// rotation: the one decoded before when the file is unchanged (the read-ahead
// included), else the file read again.
bool TfrmMain::LoadSelectedImage(bool bShow) {
    if (!m_pPictures->Use(SelectedImagePath(), m_nRotation))
        return false;
    if (bShow)
        ShowImageBitmap();
    return true;
}

void TfrmMain::RotateImage(int32_t nCode) {
    ui::WaitCursor wait;
    if (!LoadSelectedImage(false))
        return;
    // A turn that could not be made (memory) is not counted, so the copy
    // is never turned further than the picture on screen.
    if (!m_pPictures->Turn(static_cast<uint8_t>(nCode)))
        return;
    ShowImageBitmap();
    m_nRotation = CombineRotation(m_nRotation, nCode);
    ScheduleReadAhead(); // the turn needed the read-ahead's memory
}

void TfrmMain::ScheduleReadAhead() {
    if (!m_bReadAheadPosted && PostMessageA(Handle(), WM_STARTREADAHEAD, 0, 0))
        m_bReadAheadPosted = true;
}

void TfrmMain::ReadAheadNeighbour() {
    HTREEITEM root = TreeView_GetRoot(tvImages);
    HTREEITEM selected = TreeView_GetSelection(tvImages);
    if (!root || !selected || selected == root) {
        m_pPictures->DropReadAhead();
        return;
    }
    HTREEITEM next = m_nDirection >= 0 ? TreeView_GetNextSibling(tvImages, selected)
                                       : TreeView_GetPrevSibling(tvImages, selected);
    if (!next) // round the end, as Next and Previous go
        next = m_nDirection >= 0 ? TreeView_GetChild(tvImages, root) : LastImageItem();
    m_pPictures->ReadAhead(next && next != selected
                               ? JoinPath(m_pProperties->m_szSourceFolder, ItemText(next))
                               : std::string());
}

void TfrmMain::SelectNextImage() {
    m_nDirection = 1;
    if (HTREEITEM selected = TreeView_GetSelection(tvImages)) {
        if (HTREEITEM next = TreeView_GetNextSibling(tvImages, selected)) {
            TreeView_SelectItem(tvImages, next);
        } else {
            TreeView_SelectItem(tvImages, nullptr);
            m_pImage->Unload();
            ClearView();
        }
    }
    HTREEITEM root = TreeView_GetRoot(tvImages);
    HTREEITEM first = root ? TreeView_GetChild(tvImages, root) : nullptr;
    if (!TreeView_GetSelection(tvImages) && first) {
        TreeView_SelectItem(tvImages, first);
        SetFocus(tvImages);
    }
    m_SpareBitmap.Reset();
}

void TfrmMain::SelectPrevImage() {
    m_nDirection = -1;
    if (HTREEITEM selected = TreeView_GetSelection(tvImages)) {
        if (HTREEITEM previous = TreeView_GetPrevSibling(tvImages, selected)) {
            TreeView_SelectItem(tvImages, previous);
        } else {
            TreeView_SelectItem(tvImages, nullptr);
            m_pImage->Unload();
            ClearView();
        }
    }
    if (TreeView_GetSelection(tvImages))
        return;
    // Wrapped round: the last entry.
    if (HTREEITEM last = LastImageItem()) {
        TreeView_SelectItem(tvImages, last);
        SetFocus(tvImages);
    }
    m_SpareBitmap.Reset();
}

void TfrmMain::btnSourceClick() {
    std::string sFolder = m_pProperties->m_szSourceFolder;
    if (SelectFolder(Handle(), LoadResString(IDS_SELECT_SOURCE_FOLDER), sFolder, false) &&
        ConfirmFolder(Handle(), sFolder)) {
        m_pProperties->SetSourceFolder(sFolder.c_str());
        PopulateTree();
    }
}

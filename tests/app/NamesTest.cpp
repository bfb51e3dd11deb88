// Names the legacy ANSI code pages cannot spell, through the real window:
// a source folder chosen in the folder dialog and a copy folder typed in the
// properties dialog, both named so, a too long one refused, pictures with
// Japanese, Cyrillic, Greek, accented Latin and emoji names listed in the
// tree's own order, shown, turned and copied in every name mode under their
// true names, the messages naming such paths, and the folders read back
// after a restart. Files are made and found with the wide functions, so the
// program's narrow texts are checked against the names on disk.
#include "MainWindowSession.h"

#include "app/CommandIds.h"
#include "harness/Answer.h"
#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "resources/StringIds.h"
#include "settings/Config.h"
#include "settings/PropertiesDialog.h"
#include "support/StringTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

std::wstring W(const std::string& utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], int(wide.size()))));
    return wide;
}

std::string U(const std::wstring& wide) {
    std::string utf8(wide.size() * 4 + 1, '\0');
    utf8.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &utf8[0],
                                           int(utf8.size()), nullptr, nullptr)));
    return utf8;
}

// The names in a folder as the file system keeps them.
std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(W(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.insert(U(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// The tree view's own sorted insertion of the names, given and read wide.
std::vector<std::string> TreeSorted(const std::vector<std::string>& names) {
    HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    for (const std::string& name : names) {
        std::wstring text = W(name);
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_SORT;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = &text[0];
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    }
    std::vector<std::string> sorted;
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item)) {
        wchar_t text[MAX_PATH] = {};
        TVITEMW tvi{};
        tvi.mask = TVIF_TEXT;
        tvi.hItem = item;
        tvi.pszText = text;
        tvi.cchTextMax = MAX_PATH;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
        sorted.push_back(U(text));
    }
    DestroyWindow(tree);
    return sorted;
}

// Types a text into an edit box as a keyboard would, one UTF-16 unit a key.
void TypeOver(HWND edit, const std::string& text) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t unit : W(text))
        SendMessageW(edit, WM_CHAR, unit, 1);
}

// Presses a dialog's button and answers the message box it raises with
// `button`; the box's text.
std::string PressAndAnswer(HWND dialog, int id, int button) {
    harness::PressButton(dialog, id);
    HWND box = harness::WaitForDialog(dialog);
    if (!box)
        return "(no message)";
    const std::string text = harness::MessageBoxText(box);
    harness::PressButton(box, button);
    harness::WaitUntil([&] { return !IsWindow(box); });
    return text;
}

std::string Size(int w, int h) {
    return " source = " + std::to_string(w) + " x " + std::to_string(h);
}

} // namespace

TEST(MainWindow, NamesInEveryLanguageAreListedShownTurnedCopiedAndKept) {
    MainWindowSession s;
    const std::string source = s.SourceFolder() + u8"\\写真 Été";
    const std::string copies = s.CopyFolder() + u8"\\Копии 📷";
    ASSERT_TRUE(CreateDirectoryW(W(source).c_str(), nullptr));

    // Each picture: its name, the corpus file and size, the name mode of its
    // copy, the save dialog's answer (0: no dialog) with a name typed there,
    // and the copy's name on disk.
    const struct {
        std::string name;
        const char* corpus;
        int w, h;
        uint8_t mode;
        bool bCopyExists;
        int answer;
        std::string typed;
        std::string copy;
    } pictures[] = {
        {u8"東京タワー.jpg", "jpeg_baseline_420.jpg", 160, 120, fmNeverPrompt, false, 0, "", u8"東京タワー.jpg"},
        {u8"Москва.tif", "tiff_lzw.tif", 157, 118, fmPromptOverwrite, false, 0, "", u8"Москва.jpg"},
        {u8"Ελλάδα.psd", "ART.PSD", 140, 92, fmAlwaysPrompt, false, IDOK, "", u8"Ελλάδα.jpg"},
        {u8"Café crème.JPEG", "odd_17x13.jpg", 17, 13, fmAlwaysPrompt, false, IDOK, u8"Καφές ☕.jpg",
         u8"Καφές ☕.jpg"},
        {u8"🌅 Morgen.png", "png_rgb8.png", 160, 120, fmPromptOverwrite, true, IDOK, "", u8"🌅 Morgen.jpg"},
    };
    std::vector<std::string> names;
    for (const auto& p : pictures) {
        const std::wstring to = W(source + "\\" + p.name);
        ASSERT_TRUE(CopyFileW(W(std::string(SNAPWELL_CORPUS_DIR) + "/" + p.corpus).c_str(), to.c_str(), FALSE))
            << p.name;
        SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
        names.push_back(p.name);
    }

    TfrmMain& f = s.Start();
    // The source folder chosen in the folder dialog, the copy folder typed:
    // first one whose bytes (not characters) are too many for the settings.
    std::string typedTooLong = s.CopyFolder() + "\\";
    for (int i = 0; i < 90; ++i)
        typedTooLong += u8"写";
    ASSERT_LT(W(typedTooLong).size(), 259u);
    ASSERT_GT(typedTooLong.size(), 259u);
    std::string chosenFrom, refused, createAsked;
    harness::DialogAnswerer properties([&](HWND dialog) {
        harness::PressButton(dialog, IDC_PROP_SOURCE_BROWSE);
        if (HWND browse = harness::WaitForDialog(dialog)) {
            HWND tree = harness::FindDescendant(browse, "SysTreeView32");
            harness::WaitUntil([&] { return TreeView_GetSelection(tree) != nullptr; });
            HTREEITEM at = TreeView_GetSelection(tree);
            chosenFrom = harness::TreeItemText(tree, at);
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(at));
            HTREEITEM folder = harness::FindTreeChild(tree, at, u8"写真 Été");
            if (folder)
                SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(folder));
            harness::PressButton(browse, folder ? IDOK : IDCANCEL);
            harness::WaitUntil([&] { return !IsWindow(browse); });
        }
        HWND target = GetDlgItem(dialog, IDC_PROP_TARGET);
        TypeOver(target, typedTooLong);
        refused = PressAndAnswer(dialog, IDC_PROP_OK, IDOK);
        TypeOver(target, copies);
        createAsked = PressAndAnswer(dialog, IDC_PROP_OK, IDYES);
    });
    s.Command(cmdProperties);
    harness::PumpUntil([&] { return properties.Answered(); });
    ASSERT_TRUE(properties.Answered());
    EXPECT_EQ(chosenFrom, "Pictures");
    EXPECT_EQ(refused, FormatResString(IDS_FOLDER_TOO_LONG, typedTooLong));
    EXPECT_EQ(createAsked, "Create Folder:\n\n\"" + copies + "\"");
    TProperties& settings = *f.Properties();
    EXPECT_EQ(std::string(settings.m_szSourceFolder), source);
    EXPECT_EQ(std::string(settings.m_szTargetFolder), copies);

    // Listed under their true names in the tree's own order.
    std::vector<std::string> expected{u8"写真 Été"};
    for (const std::string& name : TreeSorted(names))
        expected.push_back(name);
    EXPECT_EQ(s.TreeTexts(), expected);

    // Each shown, turned and copied under its true name with ".jpg".
    settings.m_bAutoAdvance = false;
    for (const auto& p : pictures) {
        s.Select(p.name);
        EXPECT_EQ(f.StatusText(3), Size(p.w, p.h)) << p.name;
        s.Command(cmdRotateRight);
        EXPECT_EQ(f.StatusText(3), Size(p.h, p.w)) << p.name;
        const std::string copy = copies + "\\" + p.copy;
        if (p.bCopyExists) {
            ASSERT_TRUE(CopyFileW(W(source + "\\" + p.name).c_str(), W(copy).c_str(), FALSE));
        }
        settings.m_nFilenameMode = p.mode;
        std::unique_ptr<harness::Answer> dialog;
        if (p.answer)
            dialog = std::make_unique<harness::Answer>(p.answer, p.typed);
        s.Command(cmdCopy);
        if (dialog) {
            harness::PumpUntil([&] { return dialog->Seen(); });
            EXPECT_EQ(dialog->FileName(), p.name.substr(0, p.name.rfind('.')) + ".jpg");
            dialog.reset();
        }
        EXPECT_EQ(ReadPictureSize(copy), (PictureSize{p.h, p.w})) << p.copy;
    }
    std::set<std::string> copied;
    for (const auto& p : pictures)
        copied.insert(p.copy);
    EXPECT_EQ(NamesIn(copies), copied);

    // The messages name such paths as they are.
    settings.m_nFilenameMode = fmAlwaysPrompt;
    const std::string original = source + "\\" + pictures[0].name;
    {
        harness::Answer answers({{IDOK, original}, {IDOK, ""}});
        s.Command(cmdCopy);
        harness::PumpUntil([&] { return answers.Seen(1); });
        EXPECT_EQ(answers.Text(1), "The copy would replace a source image:\n\n" + original +
                                       "\n\nChoose another name or folder for the copy.");
    }
    const std::string gone = source + "\\" + pictures[1].name;
    ASSERT_TRUE(DeleteFileW(W(gone).c_str()));
    s.Select(pictures[1].name);
    {
        harness::Answer box(IDOK);
        s.Command(cmdCopy);
        harness::PumpUntil([&] { return box.Seen(); });
        EXPECT_EQ(box.Text(), "Failuer to open source image file:\n\n" + gone);
    }

    // Both folders are kept in the record file and read back at the next start.
    s.Close();
    {
        TProperties stored("", "");
        ASSERT_TRUE(OpenConfig()->ReadProperties(stored));
        EXPECT_EQ(std::string(stored.m_szSourceFolder), source);
        EXPECT_EQ(std::string(stored.m_szTargetFolder), copies);
    }
    s.Start();
    expected.erase(std::find(expected.begin(), expected.end(), pictures[1].name));
    EXPECT_EQ(s.TreeTexts(), expected);
    EXPECT_EQ(std::string(s.Form().Properties()->m_szTargetFolder), copies);
}

#include "MainWindowSession.h"

#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "imaging/Cimage.h"
#include "imaging/ImagingLibrary.h"
#include "settings/ConfigPaths.h"
#include "settings/ConfigSession.h"

#include <gtest/gtest.h>

MainWindowSession::MainWindowSession() {
    for (const char* folder : {"AppData", "Pictures", "Documents"})
        CreateDirectoryA(m_Root.File(folder).c_str(), nullptr);
    m_AppData.Set(m_Root.File("AppData"));
    m_Pictures.Set(SourceFolder());
    m_Personal.Set(CopyFolder());
    m_Watcher = std::thread([this] { WatchForStrayDialogs(); });
}

MainWindowSession::~MainWindowSession() {
    if (m_pForm && m_pForm->Handle())
        Close();
    m_pForm.reset();
    m_bStop = true;
    m_Watcher.join();
}

void MainWindowSession::WatchForStrayDialogs() {
    constexpr DWORD kPatienceMs = 8000;
    HWND seen = nullptr;
    DWORD since = 0;
    while (!m_bStop) {
        HWND dialog = harness::FindProcessDialog();
        if (dialog != seen) {
            seen = dialog;
            since = GetTickCount();
        } else if (dialog && GetTickCount() - since > kPatienceMs) {
            ADD_FAILURE() << "a dialog nobody answered: \"" << harness::WindowText(dialog) << "\" "
                          << harness::MessageBoxText(dialog);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            seen = nullptr;
        }
        Sleep(100);
    }
}

void MainWindowSession::AddPicture(const std::string& corpusFile, const std::string& name) {
    const std::string from = std::string(SNAPWELL_CORPUS_DIR) + "/" + corpusFile;
    const std::string to = SourceFolder() + "\\" + name;
    EXPECT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << corpusFile;
    // The corpus is read-only; the user's photos are not.
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
}

std::string MainWindowSession::ConfigFile() const {
    return m_Root.File("AppData") + "\\Snapwell\\" + g_sExeName + ".cfg";
}

TfrmMain& MainWindowSession::Start() {
    // Each start is a new run of the program, which knows nothing yet of
    // its configuration file.
    g_ConfigSession = CConfigSession();
    m_pForm = std::make_unique<TfrmMain>();
    EXPECT_TRUE(m_pForm->Create());
    m_pForm->Show(SW_SHOWNORMAL);
    harness::PumpMessages();
    return *m_pForm;
}

void MainWindowSession::Close() {
    HWND hwnd = m_pForm->Handle();
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(harness::PumpUntil([&] { return !IsWindow(hwnd); }));
    // The window posted its quit message: take it out of the queue.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void MainWindowSession::Command(unsigned nId) {
    SendMessageA(m_pForm->Handle(), WM_COMMAND, MAKEWPARAM(nId, 0), 0);
    harness::PumpMessages();
}

std::vector<std::string> MainWindowSession::TreeTexts() const {
    std::vector<std::string> texts;
    HWND tree = m_pForm->Tree();
    HTREEITEM root = TreeView_GetRoot(tree);
    if (!root)
        return texts;
    texts.push_back(harness::TreeItemText(tree, root));
    for (HTREEITEM item = TreeView_GetChild(tree, root); item; item = TreeView_GetNextSibling(tree, item))
        texts.push_back(harness::TreeItemText(tree, item));
    return texts;
}

std::string MainWindowSession::SelectedText() const {
    HTREEITEM selected = TreeView_GetSelection(m_pForm->Tree());
    return selected ? harness::TreeItemText(m_pForm->Tree(), selected) : std::string();
}

void MainWindowSession::Select(const std::string& text) {
    HWND tree = m_pForm->Tree();
    HTREEITEM item = harness::FindTreeChild(tree, TreeView_GetRoot(tree), text);
    ASSERT_NE(item, nullptr) << text;
    TreeView_SelectItem(tree, item);
    harness::PumpMessages();
}

PictureSize ReadPictureSize(const std::string& path) {
    InitImaging();
    CImage image;
    if (!image.Load(path))
        return {};
    return {image.Width(), image.Height()};
}

#include "MainWindowSession.h"

#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "imaging/Cimage.h"
#include "imaging/ImagingLibrary.h"
#include "settings/ConfigPaths.h"

#include <gtest/gtest.h>

MainWindowSession::MainWindowSession() {
    for (const char* folder : {"AppData", "Pictures", "Documents"})
        CreateDirectoryA(m_Root.File(folder).c_str(), nullptr);
    m_AppData.Set(m_Root.File("AppData"));
    m_Pictures.Set(SourceFolder());
    m_Personal.Set(CopyFolder());
}

MainWindowSession::~MainWindowSession() {
    if (m_pForm && m_pForm->Handle())
        Close();
    m_pForm.reset();
}

void MainWindowSession::AddPicture(const std::string& corpusFile, const std::string& name) {
    const std::string from = std::string(SNAPWELL_CORPUS_DIR) + "/" + corpusFile;
    EXPECT_TRUE(CopyFileA(from.c_str(), (SourceFolder() + "\\" + name).c_str(), FALSE)) << corpusFile;
}

std::string MainWindowSession::ConfigFile() const {
    return m_Root.File("AppData") + "\\Snapwell\\" + g_sExeName + ".cfg";
}

TfrmMain& MainWindowSession::Start() {
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

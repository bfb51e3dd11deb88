// The real main window in the test process, with the per-user folders the
// program reads from the registry pointed at a temporary folder: AppData
// (the configuration file), My Pictures (the source folder) and Personal
// (the copy folder). Commands are sent as the menus send them.
#pragma once

#include "app/Mainform.h"
#include "harness/TempFolder.h"
#include "settings/RegistryValue.h"
#include "support/Message.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class MainWindowSession {
public:
    MainWindowSession();
    ~MainWindowSession();

    // Copies a corpus file into the source folder under `name`.
    void AddPicture(const std::string& corpusFile, const std::string& name);
    std::string SourceFolder() const { return m_Root.File("Pictures"); }
    std::string CopyFolder() const { return m_Root.File("Documents"); }
    std::string ConfigFile() const;

    // Creates and shows the window (first show included), as a new run of
    // the program.
    TfrmMain& Start();
    // Closes it through WM_CLOSE and runs its messages until it is gone.
    void Close();
    TfrmMain& Form() { return *m_pForm; }

    // Sends a command as a menu entry does and runs the messages it leaves.
    void Command(unsigned nId);

    // The tree's entries: the folder entry's text first, then the images.
    std::vector<std::string> TreeTexts() const;
    std::string SelectedText() const;
    void Select(const std::string& text);

private:
    // A dialog nobody answers within a few seconds fails the test and is
    // closed, instead of holding the test until its time runs out.
    void WatchForStrayDialogs();

    TempFolder m_Root;
    ScopedShellFolder m_AppData{"AppData"};
    ScopedShellFolder m_Pictures{"My Pictures"};
    ScopedShellFolder m_Personal{"Personal"};
    TMesgScope m_Mesg;
    std::unique_ptr<TfrmMain> m_pForm;
    std::atomic<bool> m_bStop{false};
    std::thread m_Watcher;
};

// The size of a picture file as the image object reads it ({0, 0} when it
// cannot be read).
struct PictureSize {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const PictureSize& o) const { return width == o.width && height == o.height; }
};
PictureSize ReadPictureSize(const std::string& path);

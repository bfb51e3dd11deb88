// The real main window in a benchmark's own process, over per-user folders
// in a temporary folder, and the ways the benchmarks drive it as a person
// does: commands, the tree's entries, a box drawn over the view, message
// boxes watched, and the process's private bytes watched for their peak.
// Shared by bench_main_window, bench_big_picture and bench_soak.
#pragma once

#include "app/Mainform.h"
#include "harness/TempFolder.h"
#include "settings/RegistryValue.h"
#include "support/Message.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bench {

// Says what went wrong (prefixed with the program's name) and ends the
// process with exit code 1.
[[noreturn]] void Fail(const std::string& what);
void Check(bool ok, const std::string& what);

// Watches for message boxes of this process from a thread of its own. A
// box would wait for a person for ever: with `kStop` it is told on stderr
// and the process ends with exit code 3; with `kAnswer` its text is kept
// (Texts) and its default button pressed, as a person reading it would.
class MessageBoxWatch {
public:
    enum TPolicy { kStop, kAnswer };
    explicit MessageBoxWatch(TPolicy policy = kStop);
    ~MessageBoxWatch();
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    // The texts of the boxes answered so far, and forgets them.
    std::vector<std::string> TakeTexts();

private:
    const TPolicy m_Policy;
    std::atomic<bool> m_bStop{false};
    std::mutex m_Lock;
    std::vector<std::string> m_Texts;
    std::thread m_Thread;
};

// The window over its own configuration and copy folders, reading `sSource`.
class Session {
public:
    explicit Session(const std::string& sSource);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Creates and shows the window (the start-up fills the tree) and runs
    // what it leaves queued; returns the time taken in milliseconds.
    double Start();
    TfrmMain& Form() { return *m_pForm; }
    std::string CopyFolder() const { return m_Root.File("Documents"); }
    // Closes the window and waits until it is gone.
    void Close();

private:
    TempFolder m_Root;
    ScopedShellFolder m_AppData{"AppData"};
    ScopedShellFolder m_Pictures{"My Pictures"};
    ScopedShellFolder m_Personal{"Personal"};
    TMesgScope m_Mesg;
    std::unique_ptr<TfrmMain> m_pForm;
};

void SendCommand(TfrmMain& form, unsigned nId);
// The picture entries under the tree's folder entry, in order.
std::vector<HTREEITEM> Entries(HWND tree);
std::string EntryText(HWND tree, HTREEITEM item);
// A box dragged with the left button from `from` to `to` (client points of
// the view), as a person draws the crop box; its messages are run.
void DrawBox(HWND view, POINT from, POINT to);
// A person looking at the picture for `ms`: the window's messages run as
// they come (the read-ahead's among them), nothing else happens.
void Pause(double ms);

// A JPEG's size from its frame header, without decoding it (a picture
// decoded by the benchmark would count against the window's memory). False
// when no frame header was found.
// The names of a folder's .jpg files, sorted.
std::vector<std::string> JpegsIn(const std::string& sFolder);

bool JpegSize(const std::string& sPath, int32_t& nWidth, int32_t& nHeight);

// The process's private bytes: under Wine the anonymous memory it has, as
// the system reports it now (Wine's own "peak" is that same figure).
size_t PrivateBytes();
size_t PeakWorkingSet();

// The private bytes watched from a thread of their own every few
// milliseconds for their highest value since the last Restart.
class MemoryWatch {
public:
    MemoryWatch();
    ~MemoryWatch();
    MemoryWatch(const MemoryWatch&) = delete;
    MemoryWatch& operator=(const MemoryWatch&) = delete;
    void Stop();
    // Not watched meanwhile: the benchmark's own pictures.
    void Pause(bool bPaused) { m_bPaused = bPaused; }
    // The peak from now on starts at the bytes held now.
    void Restart() { m_nPeak = PrivateBytes(); }
    size_t Before() const { return m_nBefore; }
    size_t Peak() const { return m_nPeak; }

private:
    const size_t m_nBefore;
    std::atomic<size_t> m_nPeak;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bPaused{false};
    std::thread m_Thread;
};

} // namespace bench

// The real main window with a configuration file it cannot read: damaged,
// held open by another process, or damaged in a folder where nothing may be
// created or deleted. The window starts, says once that the settings were
// reset, and writes a sound file at close; a file another process holds is
// left as it is, and the user's settings in it come back at the next start.
#include "MainWindowSession.h"

#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "resources/StringIds.h"
#include "settings/Config.h"
#include "settings/FileHelpers.h"
#include "support/StringTable.h"
#include "support/SystemError.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

constexpr const char* kHoldVariable = "SNAPWELL_HOLD_SETTINGS";

// Answers every message box of this process with OK while it lives and keeps
// their texts.
class EveryMessage {
public:
    EveryMessage()
        : m_thread([this] {
              while (!m_bStop) {
                  if (HWND box = harness::FindProcessDialog()) {
                      Sleep(50);
                      {
                          std::lock_guard<std::mutex> hold(m_lock);
                          m_texts.push_back(harness::MessageBoxText(box));
                      }
                      harness::PressButton(box, IDOK);
                      harness::WaitUntil([&] { return !IsWindow(box); });
                  }
                  Sleep(10);
              }
          }) {}
    ~EveryMessage() {
        m_bStop = true;
        m_thread.join();
    }
    std::vector<std::string> Texts() {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_texts;
    }

private:
    std::atomic<bool> m_bStop{false};
    std::mutex m_lock;
    std::vector<std::string> m_texts;
    std::thread m_thread;
};

// Another process (this program again, running SettingsHolder below) holds
// the file open without sharing until this object goes.
class HeldByAnotherProcess {
public:
    explicit HeldByAnotherProcess(const std::string& file) {
        const std::string id = std::to_string(GetCurrentProcessId());
        m_hHeld = CreateEventA(nullptr, TRUE, FALSE, ("snapwell-held-" + id).c_str());
        m_hRelease = CreateEventA(nullptr, TRUE, FALSE, ("snapwell-release-" + id).c_str());
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string command = std::string("\"") + exe + "\" --gtest_filter=SettingsHolder.HoldsTheFile";
        SetEnvironmentVariableA(kHoldVariable, (id + "|" + file).c_str());
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        m_bStarted = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                    &m_Process) != 0;
        SetEnvironmentVariableA(kHoldVariable, nullptr);
        m_bHolding = m_bStarted && WaitForSingleObject(m_hHeld, 60000) == WAIT_OBJECT_0;
    }
    ~HeldByAnotherProcess() {
        SetEvent(m_hRelease);
        if (m_bStarted) {
            WaitForSingleObject(m_Process.hProcess, 60000);
            CloseHandle(m_Process.hThread);
            CloseHandle(m_Process.hProcess);
        }
        CloseHandle(m_hHeld);
        CloseHandle(m_hRelease);
    }
    bool Holding() const { return m_bHolding; }

private:
    HANDLE m_hHeld = nullptr;
    HANDLE m_hRelease = nullptr;
    PROCESS_INFORMATION m_Process{};
    bool m_bStarted = false;
    bool m_bHolding = false;
};

void PutWord(std::vector<uint8_t>& bytes, size_t at, uint32_t word) {
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = uint8_t(word >> (8 * i));
}

} // namespace

// Run by HeldByAnotherProcess in a second process; does nothing on its own.
TEST(SettingsHolder, HoldsTheFile) {
    const char* value = std::getenv(kHoldVariable);
    if (value == nullptr)
        GTEST_SKIP() << "run by UnreadableSettingsAreSaidOnce";
    const std::string text = value;
    const std::string id = text.substr(0, text.find('|'));
    const std::string file = text.substr(text.find('|') + 1);
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HANDLE heldEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, ("snapwell-held-" + id).c_str());
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, ("snapwell-release-" + id).c_str());
    ASSERT_TRUE(heldEvent && release);
    SetEvent(heldEvent);
    WaitForSingleObject(release, 120000);
    CloseHandle(held);
    CloseHandle(heldEvent);
    CloseHandle(release);
}

TEST(MainWindow, UnreadableSettingsAreSaidOnceAndNeverLost) {
    enum Kind { damaged, held, damagedInReadOnlyFolder };
    struct Case {
        const char* what;
        Kind kind;
        void (*spoil)(std::vector<uint8_t>& bytes);
    };
    const std::vector<Case> cases = {
        {"cut inside the index", damaged, [](std::vector<uint8_t>& b) { b.resize(5000); }},
        {"an index entry past the end", damaged,
         [](std::vector<uint8_t>& b) { PutWord(b, 356 + 12 + 4, uint32_t(b.size())); }},
        {"held by another process", held, [](std::vector<uint8_t>&) {}},
        {"cut, in a read-only folder", damagedInReadOnlyFolder, [](std::vector<uint8_t>& b) { b.resize(300); }},
    };
    char reason[256];
    GetSystemErrorText(ERROR_SHARING_VIOLATION, reason, sizeof(reason));
    for (const Case& c : cases) {
        MainWindowSession s;
        s.AddPicture("jpeg_baseline_420.jpg", "a.jpg");
        // A first run leaves the user's settings.
        s.Start().Properties()->m_nMaxWidth = 1024;
        s.Form().Properties()->m_nMaxHeight = 768;
        s.Close();
        const std::string file = s.ConfigFile();
        std::vector<uint8_t> bytes = ReadBytes(file);
        c.spoil(bytes);
        WriteBytes(file, bytes);

        const std::string folder = file.substr(0, file.rfind('\\'));
        std::unique_ptr<ReadOnlyFolder> readOnly;
        std::unique_ptr<HeldByAnotherProcess> holder;
        if (c.kind == damagedInReadOnlyFolder) {
            readOnly = std::make_unique<ReadOnlyFolder>(folder);
            if (!readOnly->Made()) {
                ADD_FAILURE() << c.what << ": this host cannot make a folder read-only";
                continue;
            }
        }
        if (c.kind == held) {
            holder = std::make_unique<HeldByAnotherProcess>(file);
            ASSERT_TRUE(holder->Holding()) << c.what;
        }

        std::vector<std::string> said;
        {
            EveryMessage messages;
            TfrmMain& f = s.Start();
            EXPECT_TRUE(f.Initialised()) << c.what;
            EXPECT_EQ(f.Properties()->m_nMaxWidth, 0) << c.what << ": the defaults";
            f.Properties()->m_nMaxWidth = 640;
            f.Properties()->m_nMaxHeight = 480;
            s.Close();
            said = messages.Texts();
        }
        const std::string expected = FormatResString(
            IDS_CONFIG_RESET, c.kind == held ? std::string(reason) + file + "\r\n" : file + "\r\nThe file is damaged");
        EXPECT_EQ(said, std::vector<std::string>{expected}) << c.what;

        if (c.kind == held) {
            // Left as it was, and read at the next start.
            holder.reset();
            EXPECT_EQ(ReadBytes(file), bytes) << c.what;
            EXPECT_EQ(s.Start().Properties()->m_nMaxWidth, 1024) << c.what;
            s.Close();
            continue;
        }
        // A sound file with what the run had at close.
        readOnly.reset();
        char appName[32];
        EXPECT_EQ(CQdf::CheckFile(file.c_str(), 1, appName), QdfFileState::sound) << c.what;
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config && config->IsOpen()) << c.what;
        TProperties stored(nullptr, nullptr);
        ASSERT_TRUE(config->ReadProperties(stored)) << c.what;
        EXPECT_EQ(stored.m_nMaxWidth, 640) << c.what;
        EXPECT_EQ(stored.m_nMaxHeight, 480) << c.what;
        EXPECT_EQ(std::string(stored.m_szSourceFolder), s.SourceFolder()) << c.what;
    }
}

// The configuration manager on real files under Wine: the first-run file,
// rewrites, the reading clamp, foreign files replaced, damaged and cut files
// reset and said once, the read-only attribute, a locked file said once and
// left alone, a read-only folder, and records written by one process read
// back by another.
#include "settings/Config.h"
#include "settings/ConfigPaths.h"
#include "settings/ConfigSession.h"

#include "FileHelpers.h"
#include "resources/StringIds.h"
#include "support/Message.h"
#include "support/StringTable.h"
#include "support/SystemError.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>

namespace {
constexpr const char* kChildFolderVariable = "SNAPWELL_SETTINGS_CHILD_FOLDER";

// What a new start of the program would know of its configuration file: nothing.
void NewRun() {
    g_ConfigSession = CConfigSession();
}

// Points the configuration at a folder for one scope.
class ConfigFolder {
public:
    explicit ConfigFolder(const std::string& folder) {
        g_sConfigFolder = folder + "\\";
        g_sExeName = "Snapwell";
        NewRun();
    }
    ~ConfigFolder() {
        g_sConfigFolder.clear();
        g_sExeName.clear();
    }
    std::string File() const { return ConfigFileName(); }
};

// "The settings could not be read and were reset" with the reason given.
std::string ResetText(const std::string& reason) {
    return FormatResString(IDS_CONFIG_RESET, reason);
}
std::string DamagedText(const std::string& file) {
    return ResetText(file + "\r\nThe file is damaged");
}

// The values the main window would store at close in these tests.
TWinPos MainWindowPos() {
    TWinPos pos(12, 34, 1000, 700, 180);
    pos.m_bMaximized = 1;
    return pos;
}
TProperties StoredProperties() {
    TProperties p("C:\\Photos\\In", "C:\\Photos\\Out");
    p.m_nMaxWidth = 1920;
    p.m_nMaxHeight = 1080;
    p.m_bAutoAdvance = false;
    p.m_bEnlargement = true;
    p.m_nFilenameMode = fmNeverPrompt;
    return p;
}
constexpr ToolbarFlags kStoredToolbar = 0x2DFD;

// What the main window does on close, then the dialog on close.
void WriteLikeTheProgram(bool dialogToo) {
    {
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config && config->IsOpen());
        config->WriteWinPos(ckMainWindow, MainWindowPos());
        config->WriteToolbarFlags(kStoredToolbar);
        config->WriteProperties(StoredProperties());
    }
    if (dialogToo) {
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config && config->IsOpen());
        config->WriteWinPos(ckDialog, TWinPos(40, 50, 450, 383));
    }
}

// A sound record file with this header name and a toolbar record.
void MakeFile(const std::string& name, const char* appName, int keyType, ToolbarFlags toolbarWord) {
    DeleteFileA(name.c_str());
    CQdf file;
    ASSERT_TRUE(file.Open(name.c_str(), keyType, OPEN_ALWAYS, GENERIC_READ | GENERIC_WRITE));
    const auto image = toolbar::ToImage(toolbarWord);
    if (keyType == 1)
        file.WriteRecord(uint32_t(ckToolbar), image.data(), 4);
    else
        file.WriteRecord("tb", image.data(), 4);
    file.SetAppName(appName);
}

// A file of 70 MB whose header claims a 5.8-million-entry table filling it.
void MakeHugeIndexFile(const std::string& name) {
    std::vector<uint8_t> header(356, 0);
    std::memcpy(&header[44], "Snapwell", 8);
    header[76] = 1;
    header[80] = 12;
    const uint32_t capacity = (70u << 20) / 12 - 100;
    for (int i = 0; i < 4; ++i)
        header[84 + i] = uint8_t(capacity >> (8 * i));
    HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, header.data(), 356, &written, nullptr);
    SetFilePointer(file, 70 << 20, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

// Index entry i of a file's bytes: key, offset, length.
struct Entry {
    uint32_t key, offset, length;
};
Entry EntryOf(const std::vector<uint8_t>& bytes, size_t i) {
    return {WordAt(bytes, 356 + 12 * i), WordAt(bytes, 360 + 12 * i), WordAt(bytes, 364 + 12 * i)};
}

class Config : public ::testing::Test {
protected:
    TempFolder m_folder;
    ConfigFolder m_paths{m_folder.Path()};
    TMesgScope m_mesg;
};
} // namespace

TEST_F(Config, FirstRunFile) {
    MessageCatcher message;
    {
        // First show: nothing stored, the callers keep their defaults.
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config);
        ASSERT_TRUE(config->IsOpen());
        TWinPos pos;
        pos.m_bMaximized = 1;
        EXPECT_FALSE(config->ReadWinPos(ckMainWindow, pos));
        EXPECT_EQ(pos.m_bMaximized, 1);
        EXPECT_EQ(config->ReadToolbarFlags(), toolbar::kDefault);
        TProperties properties("default source", nullptr);
        EXPECT_FALSE(config->ReadProperties(properties));
        EXPECT_STREQ(properties.m_szSourceFolder, "default source");
    }
    EXPECT_EQ(ReadBytes(m_paths.File()).size(), 12644u);

    WriteLikeTheProgram(false);
    const std::vector<uint8_t> bytes = ReadBytes(m_paths.File());
    ASSERT_EQ(bytes.size(), 13228u);
    EXPECT_EQ(std::memcmp(&bytes[44], "Snapwell\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 32), 0);
    EXPECT_EQ(bytes[76], 1);
    EXPECT_EQ(WordAt(bytes, 80), 12u);
    EXPECT_EQ(WordAt(bytes, 84), 1024u);
    EXPECT_EQ(WordAt(bytes, 88), 3u);
    EXPECT_EQ(WordAt(bytes, 92), 540u);
    EXPECT_EQ(WordAt(bytes, 96) & 1, 1u);
    for (size_t i : {0u, 43u, 78u, 79u, 100u, 355u})
        EXPECT_EQ(bytes[i], 0) << i;
    // Keys 0, 3, 4 in index order; records in the order first written.
    const Entry e0 = EntryOf(bytes, 0), e3 = EntryOf(bytes, 1), e4 = EntryOf(bytes, 2);
    EXPECT_EQ(e0.key, 0u);
    EXPECT_EQ(e3.key, 3u);
    EXPECT_EQ(e4.key, 4u);
    EXPECT_EQ(e0.offset, 12644u);
    EXPECT_EQ(e0.length, 40u);
    EXPECT_EQ(e4.offset, 12684u);
    EXPECT_EQ(e4.length, 4u);
    EXPECT_EQ(e3.offset, 12688u);
    EXPECT_EQ(e3.length, 540u);
    const TWinPos::Image pos = MainWindowPos().ToImage();
    const TProperties::Image props = StoredProperties().ToImage();
    EXPECT_TRUE(std::equal(pos.begin(), pos.end(), bytes.begin() + 12644));
    EXPECT_EQ(WordAt(bytes, 12684), kStoredToolbar);
    EXPECT_TRUE(std::equal(props.begin(), props.end(), bytes.begin() + 12688));
    EXPECT_EQ(EntryOf(bytes, 3).key | EntryOf(bytes, 3).offset | EntryOf(bytes, 3).length, 0u);

    // After a run in which the dialog was used too.
    WriteLikeTheProgram(true);
    EXPECT_EQ(ReadBytes(m_paths.File()).size(), 13268u);
    EXPECT_FALSE(message.Seen()) << message.Text();
}

TEST_F(Config, RewritesStayInPlace) {
    WriteLikeTheProgram(false);
    const std::vector<uint8_t> before = ReadBytes(m_paths.File());
    WriteLikeTheProgram(false);
    EXPECT_EQ(ReadBytes(m_paths.File()), before);

    TProperties changed = StoredProperties();
    changed.SetSourceFolder("D:\\Elsewhere");
    {
        std::unique_ptr<CConfig> config = OpenConfig();
        config->WriteProperties(changed);
    }
    const std::vector<uint8_t> after = ReadBytes(m_paths.File());
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(EntryOf(after, 1).offset, EntryOf(before, 1).offset);
    std::unique_ptr<CConfig> config = OpenConfig();
    TProperties back(nullptr, nullptr);
    ASSERT_TRUE(config->ReadProperties(back));
    EXPECT_EQ(back.ToImage(), changed.ToImage());
}

TEST_F(Config, ReadingKeepsWindowsOnScreen) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        int32_t left, top, wantLeft, wantTop;
    };
    for (const Case& c :
         std::vector<Case>{{-200, -1, 0, 0},
                           {screenWidth + 10, screenHeight + 10, screenWidth - 50, screenHeight - 50},
                           {100, 200, 100, 200}}) {
        {
            std::unique_ptr<CConfig> config = OpenConfig();
            config->WriteWinPos(ckMainWindow, TWinPos(c.left, c.top, 640, 480, 150));
        }
        std::unique_ptr<CConfig> config = OpenConfig();
        TWinPos pos;
        ASSERT_TRUE(config->ReadWinPos(ckMainWindow, pos));
        EXPECT_EQ(pos.m_nLeft, c.wantLeft) << c.left;
        EXPECT_EQ(pos.m_nTop, c.wantTop) << c.top;
        EXPECT_EQ(pos.m_nWidth, 640);
        EXPECT_EQ(pos.m_nPanelWidth, 150);
    }
    // No dialog record: the caller's position, clamped all the same.
    std::unique_ptr<CConfig> config = OpenConfig();
    TWinPos dialog(-30, -40, 0, 0);
    EXPECT_FALSE(config->ReadWinPos(ckDialog, dialog));
    EXPECT_EQ(dialog.m_nLeft, 0);
    EXPECT_EQ(dialog.m_nTop, 0);

    // Short records count as missing.
    const uint8_t two[2] = {0x01, 0x00};
    config->WriteRecord(uint32_t(ckToolbar), two, 2);
    EXPECT_EQ(config->ReadToolbarFlags(), toolbar::kDefault);
    config->WriteRecord(uint32_t(ckProperties), two, 2);
    TProperties properties("kept", nullptr);
    EXPECT_FALSE(config->ReadProperties(properties));
    EXPECT_STREQ(properties.m_szSourceFolder, "kept");
    const uint8_t zero[4] = {};
    config->WriteRecord(uint32_t(ckToolbar), zero, 4);
    EXPECT_EQ(config->ReadToolbarFlags(), 0u);
}

TEST_F(Config, ForeignAndDamagedFilesAreReplaced) {
    const std::string name = m_paths.File();
    std::mt19937 rng(5);
    std::vector<uint8_t> random(13228);
    for (auto& b : random)
        b = uint8_t(rng());
    struct Case {
        const char* what;
        void (*make)(const std::string& name, const std::vector<uint8_t>& random);
        ToolbarFlags expected; // the stored word when the file is kept
        bool told = true;      // the user hears that the settings were reset
    };
    const std::vector<Case> cases = {
        {"our name in capitals is ours",
         [](const std::string& n, auto&) { MakeFile(n, "SNAPWELL", 1, 0x1234); }, 0x1234, false},
        {"a run that never reached close",
         [](const std::string& n, auto&) { MakeFile(n, "QDF_FILE 2.0", 1, 0x1234); }, toolbar::kDefault, false},
        {"another program's file",
         [](const std::string& n, auto&) { MakeFile(n, "Other Program", 1, 0x1234); }, toolbar::kDefault,
         false},
        {"our name with text keys", [](const std::string& n, auto&) { MakeFile(n, "Snapwell", 3, 0x1234); },
         toolbar::kDefault},
        {"empty file", [](const std::string& n, auto&) { WriteBytes(n, {}); }, toolbar::kDefault},
        {"truncated header",
         [](const std::string& n, auto&) {
             MakeFile(n, "Snapwell", 1, 0x1234);
             std::vector<uint8_t> bytes = ReadBytes(n);
             bytes.resize(200);
             WriteBytes(n, bytes);
         },
         toolbar::kDefault},
        {"count beyond capacity",
         [](const std::string& n, auto&) {
             MakeFile(n, "Snapwell", 1, 0x1234);
             std::vector<uint8_t> bytes = ReadBytes(n);
             bytes[88] = 0x01, bytes[89] = 0x08; // 2049 entries in a 1024-entry table
             WriteBytes(n, bytes);
         },
         toolbar::kDefault},
        {"record past the end",
         [](const std::string& n, auto&) {
             MakeFile(n, "Snapwell", 1, 0x1234);
             std::vector<uint8_t> bytes = ReadBytes(n);
             bytes[356 + 8] = 0xFF; // length of the only record
             WriteBytes(n, bytes);
         },
         toolbar::kDefault},
        {"random bytes", [](const std::string& n, const std::vector<uint8_t>& r) { WriteBytes(n, r); },
         toolbar::kDefault},
        {"index larger than any of ours", [](const std::string& n, auto&) { MakeHugeIndexFile(n); },
         toolbar::kDefault},
    };
    for (const Case& c : cases) {
        c.make(name, random);
        NewRun();
        {
            MessageCatcher message;
            {
                std::unique_ptr<CConfig> config = OpenConfig();
                ASSERT_TRUE(config) << c.what;
                ASSERT_TRUE(config->IsOpen()) << c.what;
                EXPECT_EQ(config->ReadToolbarFlags(), c.expected) << c.what;
                config->WriteToolbarFlags(0x0F0F);
            }
            EXPECT_EQ(message.Seen(), c.told) << c.what << ": " << message.Text();
            if (c.told) {
                EXPECT_EQ(message.Text(), DamagedText(name)) << c.what;
            }
        }
        char appName[32];
        ASSERT_EQ(CQdf::CheckFile(name.c_str(), 1, appName), QdfFileState::sound) << c.what;
        EXPECT_STREQ(appName, "Snapwell") << c.what;
        // The rest of the run hears nothing more.
        MessageCatcher message;
        {
            std::unique_ptr<CConfig> config = OpenConfig();
            EXPECT_EQ(config->ReadToolbarFlags(), 0x0F0Fu) << c.what;
        }
        EXPECT_FALSE(message.Seen()) << c.what << ": " << message.Text();
    }
}

TEST_F(Config, CutFileIsResetAndSaidOnce) {
    WriteLikeTheProgram(true);
    const std::string name = m_paths.File();
    const std::vector<uint8_t> whole = ReadBytes(name);
    ASSERT_EQ(whole.size(), 13268u);
    for (size_t length : {size_t(0), size_t(1), size_t(355), size_t(356), size_t(12643), size_t(12644),
                          size_t(12684), size_t(13227), whole.size() - 1, whole.size()}) {
        WriteBytes(name, std::vector<uint8_t>(whole.begin(), whole.begin() + ptrdiff_t(length)));
        NewRun();
        MessageCatcher message;
        TProperties read(nullptr, nullptr);
        {
            std::unique_ptr<CConfig> config = OpenConfig();
            ASSERT_TRUE(config && config->IsOpen()) << length;
            EXPECT_EQ(config->ReadProperties(read), length == whole.size()) << length;
        }
        // The main window's close and the dialog's: silent.
        WriteLikeTheProgram(true);
        EXPECT_EQ(message.Seen(), length != whole.size()) << length;
        if (length != whole.size()) {
            EXPECT_EQ(message.Text(), DamagedText(name)) << length;
        }
        // A sound file, the same bytes as a first run leaves.
        EXPECT_EQ(ReadBytes(name), whole) << length;
    }
}

TEST_F(Config, ReadOnlyFileIsOpenedAfterClearingTheAttribute) {
    WriteLikeTheProgram(false);
    const std::string name = m_paths.File();
    ASSERT_TRUE(SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY));
    MessageCatcher message;
    {
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config->IsOpen());
        EXPECT_EQ(config->ReadToolbarFlags(), kStoredToolbar);
        config->WriteToolbarFlags(0x0001);
    }
    EXPECT_FALSE(message.Seen()) << message.Text();
    EXPECT_EQ(GetFileAttributesA(name.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    std::unique_ptr<CConfig> config = OpenConfig();
    EXPECT_EQ(config->ReadToolbarFlags(), 0x0001u);
}

TEST_F(Config, LockedFileIsSaidOnceAndLeftAsItIs) {
    WriteLikeTheProgram(false);
    const std::string name = m_paths.File();
    const std::vector<uint8_t> before = ReadBytes(name);
    HANDLE other = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    NewRun();
    {
        MessageCatcher message;
        {
            std::unique_ptr<CConfig> config = OpenConfig();
            // A closed manager answers with nothing and drops writes.
            ASSERT_TRUE(config);
            EXPECT_FALSE(config->IsOpen());
            EXPECT_EQ(config->ReadToolbarFlags(), toolbar::kDefault);
            TWinPos pos;
            EXPECT_FALSE(config->ReadWinPos(ckMainWindow, pos));
            config->WriteToolbarFlags(0);
        }
        ASSERT_TRUE(message.Seen());
        char text[256];
        EXPECT_EQ(message.Text(),
                  ResetText(std::string(GetSystemErrorText(ERROR_SHARING_VIOLATION, text, sizeof(text))) + name +
                            "\r\n"));
    }
    // Released before the close: the run, which never read the user's
    // settings, does not write its defaults over them, and says nothing more.
    CloseHandle(other);
    MessageCatcher message;
    {
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config);
        EXPECT_FALSE(config->IsOpen());
        config->WriteWinPos(ckMainWindow, MainWindowPos());
        config->WriteToolbarFlags(0);
        config->WriteProperties(TProperties(nullptr, nullptr));
    }
    EXPECT_FALSE(message.Seen()) << message.Text();
    EXPECT_EQ(ReadBytes(name), before);
    // The next run reads them.
    NewRun();
    std::unique_ptr<CConfig> config = OpenConfig();
    ASSERT_TRUE(config && config->IsOpen());
    EXPECT_EQ(config->ReadToolbarFlags(), kStoredToolbar);
}

TEST_F(Config, ReadOnlyFolderKeepsASoundFileAndResetsADamagedOneInPlace) {
    WriteLikeTheProgram(false);
    const std::string name = m_paths.File();
    const std::vector<uint8_t> sound = ReadBytes(name);
    {
        ReadOnlyFolder readOnly(m_folder.Path());
        if (!readOnly.Made())
            GTEST_SKIP() << "this host cannot make a folder read-only";
        MessageCatcher message;
        // A sound file is read and written as anywhere else.
        NewRun();
        {
            std::unique_ptr<CConfig> config = OpenConfig();
            ASSERT_TRUE(config && config->IsOpen());
            EXPECT_EQ(config->ReadToolbarFlags(), kStoredToolbar);
        }
        WriteLikeTheProgram(false);
        EXPECT_EQ(ReadBytes(name), sound);
        EXPECT_FALSE(message.Seen()) << message.Text();

        // A damaged one cannot be deleted there: it is emptied and starts afresh.
        WriteBytes(name, std::vector<uint8_t>(sound.begin(), sound.begin() + 5000));
        NewRun();
        {
            std::unique_ptr<CConfig> config = OpenConfig();
            ASSERT_TRUE(config && config->IsOpen());
            EXPECT_EQ(config->ReadToolbarFlags(), toolbar::kDefault);
        }
        WriteLikeTheProgram(false);
        EXPECT_EQ(message.Text(), DamagedText(name));
        EXPECT_EQ(ReadBytes(name), sound);
    }

    // No file and none can be made: said once, the run goes on without one.
    DeleteFileA(name.c_str());
    ReadOnlyFolder readOnly(m_folder.Path());
    ASSERT_TRUE(readOnly.Made());
    NewRun();
    {
        MessageCatcher message;
        {
            std::unique_ptr<CConfig> config = OpenConfig();
            ASSERT_TRUE(config);
            EXPECT_FALSE(config->IsOpen());
        }
        EXPECT_EQ(message.Text().rfind(ResetText(""), 0), 0u) << message.Text();
        EXPECT_NE(message.Text().find(name), std::string::npos) << message.Text();
    }
    MessageCatcher message;
    {
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config);
        EXPECT_FALSE(config->IsOpen());
        config->WriteProperties(StoredProperties());
    }
    EXPECT_FALSE(message.Seen()) << message.Text();
    EXPECT_EQ(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Config, WithoutPathsTheManagerStaysClosed) {
    g_sConfigFolder.clear();
    MessageCatcher message;
    {
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config);
        EXPECT_FALSE(config->IsOpen());
        TProperties properties("x", "y");
        EXPECT_FALSE(config->ReadProperties(properties));
        config->WriteProperties(properties);
    }
    EXPECT_FALSE(message.Seen());
    EXPECT_TRUE(m_folder.List().empty());
}

TEST_F(Config, MissingFolderIsReportedAndTheProgramGoesOn) {
    g_sConfigFolder = m_folder.Path() + "\\not created\\";
    MessageCatcher message;
    {
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config);
        EXPECT_FALSE(config->IsOpen());
        EXPECT_EQ(config->ReadToolbarFlags(), toolbar::kDefault);
    }
    // Said once the manager is done with.
    ASSERT_TRUE(message.Seen());
    EXPECT_NE(message.Text().find(g_sConfigFolder + "Snapwell.cfg\r\n"), std::string::npos) << message.Text();
}

// Run by CrossProcess below in a second process; does nothing on its own.
TEST(ConfigChild, WritesLikeTheProgram) {
    const char* folder = std::getenv(kChildFolderVariable);
    if (folder == nullptr)
        GTEST_SKIP() << "run by ConfigCrossProcess";
    ConfigFolder paths(folder);
    TMesgScope mesg;
    WriteLikeTheProgram(true);
}

TEST(ConfigCrossProcess, RecordsWrittenByOneProcessAreReadByAnother) {
    TempFolder childFolder, ownFolder;
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command = std::string("\"") + exe + "\" --gtest_filter=ConfigChild.WritesLikeTheProgram";
    ASSERT_TRUE(SetEnvironmentVariableA(kChildFolderVariable, childFolder.Path().c_str()));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process);
    SetEnvironmentVariableA(kChildFolderVariable, nullptr);
    ASSERT_TRUE(started);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(exitCode, 0u);

    TMesgScope mesg;
    std::vector<uint8_t> childBytes;
    {
        ConfigFolder paths(childFolder.Path());
        childBytes = ReadBytes(paths.File());
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config && config->IsOpen());
        TWinPos main, dialog;
        ASSERT_TRUE(config->ReadWinPos(ckMainWindow, main));
        ASSERT_TRUE(config->ReadWinPos(ckDialog, dialog));
        EXPECT_EQ(main.ToImage(), MainWindowPos().ToImage());
        EXPECT_EQ(dialog.ToImage(), TWinPos(40, 50, 450, 383).ToImage());
        EXPECT_EQ(config->ReadToolbarFlags(), kStoredToolbar);
        TProperties properties(nullptr, nullptr);
        ASSERT_TRUE(config->ReadProperties(properties));
        EXPECT_EQ(properties.ToImage(), StoredProperties().ToImage());
    }
    // The same steps here give the same file, byte for byte.
    ConfigFolder paths(ownFolder.Path());
    WriteLikeTheProgram(true);
    EXPECT_EQ(childBytes.size(), 13268u);
    EXPECT_EQ(ReadBytes(paths.File()), childBytes);
}

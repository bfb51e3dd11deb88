// The real Snapwell.exe from the product folder, started as a process of its
// own with the per-user folders pointed at a temporary folder: it selects a
// picture, turns it, has a crop box drawn, copies with Ctrl+C and quits. The
// copy must hold exactly the pixels of the same turn, crop and size made by
// the image object here, at the size the crop box rules promise, be a
// frame-safe JPEG that keeps its source's date taken, and the configuration
// file the records the program keeps.
#include "MainWindowSession.h"

#include "app/CommandIds.h"
#include "imaging/decode/ExifBuilder.h"
#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "imaging/ImagingTestFiles.h"
#include "imaging/JpegMarkers.h"
#include "imaging/isource/decode/Exif.h"
#include "imaging/Cimage.h"
#include "imaging/ImagingLibrary.h"
#include "settings/Config.h"
#include "settings/ConfigPaths.h"
#include "view/CropBox.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

constexpr int kBigWidth = 1200;
constexpr int kBigHeight = 800;

// A crop box host that draws nothing: the rules alone, to know what the
// program's view must arrive at for the same mouse.
class SilentHost : public CCropBoxHost {
    void InvertOutline(TPoint, TPoint) override {}
    void ShowCursorFor(THitCode) override {}
    void SendStatus() override {}
};

// A detailed picture written as a JPEG through the image object.
void WritePicture(const std::string& path, int w, int h) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size_t(w) * h * 3);
    ASSERT_NE(block, nullptr);
    auto* pixels = static_cast<uint8_t*>(GlobalLock(block));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &pixels[(size_t(y) * w + x) * 3];
            p[0] = uint8_t(x * 255 / w);
            p[1] = uint8_t(y * 255 / h);
            p[2] = uint8_t(((x / 25 + y / 25) % 2) ? 200 : 40);
        }
    GlobalUnlock(block);
    CImage image;
    const bool bCopied = image.CopyFromMemory(block, w, h);
    GlobalFree(block);
    ASSERT_TRUE(bCopied);
    ASSERT_TRUE(image.WriteJpeg(path, w, h, 0, 0, 0, 0, -1, 95, 0, 0));
}

void PressChord(WORD key) {
    INPUT in[4] = {};
    for (INPUT& i : in)
        i.type = INPUT_KEYBOARD;
    in[0].ki.wVk = VK_CONTROL;
    in[1].ki.wVk = key;
    in[2].ki.wVk = key;
    in[2].ki.dwFlags = KEYEVENTF_KEYUP;
    in[3].ki.wVk = VK_CONTROL;
    in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, in, sizeof(INPUT));
}

// Draws a box over the window from `from` to `to` (client points). The
// system reports the real pointer's moves whenever it likes (a window raised
// under it), also into the drag once the view holds the mouse: the pointer
// rests at `to` first, so such a move can only say what the drag says.
void DragOver(HWND window, POINT from, POINT to) {
    POINT rest = to;
    ClientToScreen(window, &rest);
    SetCursorPos(rest.x, rest.y);
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(from.x, from.y));
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

HTREEITEM Selected(HWND tree) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

std::wstring Wide(const std::string& text, UINT codePage) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(size_t(MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &wide[0], int(wide.size()))));
    return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage) {
    std::string text(wide.size() * 4 + 1, '\0');
    text.resize(size_t(WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), &text[0], int(text.size()),
                                           nullptr, nullptr)));
    return text;
}

// Starts the program from the product folder; ends it when the test ends
// (a program still running then is stopped).
struct Program {
    PROCESS_INFORMATION process{};
    bool Start() {
        const std::string program = std::string(SNAPWELL_PRODUCT_DIR) + "\\Snapwell.exe";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            return false;
        CloseHandle(process.hThread);
        return true;
    }
    ~Program() {
        if (!process.hProcess)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
    }
};

std::vector<uint8_t> Decoded(const std::string& path, int32_t& w, int32_t& h) {
    CImage image;
    if (!image.Load(path))
        return {};
    w = image.Width();
    h = image.Height();
    return std::vector<uint8_t>(image.Pixels(), image.Pixels() + size_t(w) * h * 3);
}

} // namespace

TEST(EndToEnd, TurnCropAndCopyWithTheKeyboardThenQuit) {
    ASSERT_TRUE(InitImaging());
    MainWindowSession s; // the folders and the registry, not the in-process window
    s.AddPicture("jpeg_baseline_420.jpg", "a.jpg");
    WritePicture(s.SourceFolder() + "\\b.jpg", kBigWidth, kBigHeight);
    // b.jpg as a camera writes it: the date taken in its EXIF block.
    exiftest::Spec camera;
    camera.date = "2021:05:01 09:30:00";
    camera.offset = "+01:00";
    camera.model = "Camera";
    const std::string plain = imagingtest::ReadFileBytes(s.SourceFolder() + "\\b.jpg");
    const std::vector<uint8_t> dated = exiftest::WithSegment(std::vector<uint8_t>(plain.begin(), plain.end()), 0xE1,
                                                             exiftest::App1Payload(exiftest::BuildTiff(camera)));
    ASSERT_TRUE(imagingtest::WriteFileBytes(s.SourceFolder() + "\\b.jpg", std::string(dated.begin(), dated.end())));

    // The settings the program starts with, written where it reads them.
    g_sExeName = "Snapwell";
    g_sConfigFolder = s.ConfigFile().substr(0, s.ConfigFile().rfind('\\') + 1);
    CreateDirectoryA(g_sConfigFolder.c_str(), nullptr);
    TProperties settings(s.SourceFolder().c_str(), s.CopyFolder().c_str());
    settings.m_nMaxWidth = 400;
    settings.m_nMaxHeight = 300;
    settings.m_bSnapRatio = true;
    settings.m_bMaxSize = true;
    OpenConfig()->WriteProperties(settings);

    const std::string program = std::string(SNAPWELL_PRODUCT_DIR) + "\\Snapwell.exe";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process))
        << program << " error " << GetLastError();
    ui::UniqueHandle threadHandle(process.hThread);
    // However the test ends, the program does not outlive it.
    struct Ender {
        HANDLE h;
        ~Ender() {
            if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT)
                TerminateProcess(h, 1);
            CloseHandle(h);
        }
    } ender{process.hProcess};

    HWND main = nullptr;
    ASSERT_TRUE(harness::WaitUntil(
        [&] { return (main = harness::FindProcessWindow(process.dwProcessId, "TfrmMain")) != nullptr; }, 20000));
    HWND tree = harness::FindDescendant(main, "SysTreeView32");
    HWND view = harness::FindDescendant(main, "TImageCtrl");
    ASSERT_TRUE(tree && view);
    ASSERT_TRUE(harness::WaitUntil([&] { return Selected(tree) != nullptr; }));
    const HTREEITEM first = Selected(tree);

    // Ctrl+X: the next picture, b.jpg.
    SetForegroundWindow(main);
    ASSERT_TRUE(harness::WaitUntil([&] { return GetForegroundWindow() == main; }));
    PressChord('X');
    ASSERT_TRUE(harness::WaitUntil([&] { return Selected(tree) != first; }));
    const HTREEITEM big = Selected(tree);

    // Turn it right, then draw a box from (150, 100) to (500, 300) over the
    // view. The rules here get the same picture, view size and mouse.
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(cmdRotateRight, 0), 0);
    RECT client{};
    GetClientRect(view, &client);
    SilentHost host;
    CCropBox model(host);
    TCropSettings rules;
    rules.m_nMaxWidth = 400;
    rules.m_nMaxHeight = 300;
    rules.m_bSnapRatio = rules.m_bMaxSize = rules.m_bPrevRect = true;
    model.UseSettings(rules);
    model.TakeRatio();
    model.NewPicture(kBigHeight, kBigWidth, client.right, client.bottom);
    const POINT from{150, 100};
    const POINT to{500, 300};
    DragOver(view, from, to);
    model.MouseMove({from.x, from.y});
    model.ButtonDown({from.x, from.y});
    model.MouseMove({to.x, to.y});
    model.ButtonUp();
    TRect crop;
    const TSize copy = model.GetCropGeometry(crop, true);
    ASSERT_GT(crop.Width(), 0);

    // Ctrl+C: the copy, then auto advance wraps to the first picture.
    SetForegroundWindow(main);
    PressChord('C');
    ASSERT_TRUE(harness::WaitUntil([&] { return Selected(tree) != big; }, 20000));
    EXPECT_EQ(Selected(tree), first);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);

    // The copy against the same work done here.
    CImage reference;
    ASSERT_TRUE(reference.Load(s.SourceFolder() + "\\b.jpg"));
    ASSERT_TRUE(reference.Rotate(0));
    const std::string referencePath = s.CopyFolder() + "\\reference.jpg";
    ASSERT_TRUE(reference.WriteJpeg(referencePath, copy.Width, copy.Height, crop.Left, crop.Top, crop.Right,
                                    crop.Bottom, -1, 100, 0, 0));
    int32_t w = 0, h = 0, rw = 0, rh = 0;
    const std::vector<uint8_t> written = Decoded(s.CopyFolder() + "\\b.jpg", w, h);
    const std::vector<uint8_t> expected = Decoded(referencePath, rw, rh);
    EXPECT_EQ(w, copy.Width);
    EXPECT_EQ(h, copy.Height);
    EXPECT_TRUE(written == expected) << "the copy's pixels differ from the reference";
    // Every copy written here shows on any photo frame, and the program's
    // keeps the date its source was taken.
    for (const char* name : {"\\b.jpg", "\\reference.jpg"}) {
        const std::string bytes = imagingtest::ReadFileBytes(s.CopyFolder() + name);
        const std::vector<uint8_t> file(bytes.begin(), bytes.end());
        EXPECT_EQ(jpegtest::FrameSafetyProblem(file), "") << name;
        const std::vector<uint8_t> exif = jpegtest::ExifPayload(file);
        const isource::PhotoInfo info = isource::ReadExifPhotoInfo(exif.data(), exif.size());
        EXPECT_EQ(info.dateTimeOriginal, camera.date) << name;
        EXPECT_EQ(info.offsetTimeOriginal, camera.offset) << name;
        EXPECT_EQ(info.model, camera.model) << name;
    }

    // The configuration file: first start (maximised, the small window in
    // the middle), the default tool bar word, the settings unchanged.
    std::unique_ptr<CConfig> config = OpenConfig();
    ASSERT_TRUE(config->IsOpen());
    TWinPos pos;
    EXPECT_TRUE(config->ReadWinPos(ckMainWindow, pos));
    TWinPos firstStart(390, 312, 500, 400, 120);
    firstStart.m_bMaximized = 1;
    EXPECT_EQ(pos.ToImage(), firstStart.ToImage());
    EXPECT_EQ(config->ReadToolbarFlags(), toolbar::kDefault);
    TProperties stored("", "");
    EXPECT_TRUE(config->ReadProperties(stored));
    EXPECT_EQ(stored.ToImage(), settings.ToImage());
}

TEST(EndToEnd, AnOldRecordOpensItsFolderAndNamesInEveryLanguageAreCopied) {
    ASSERT_TRUE(InitImaging());
    MainWindowSession s;
    // The record as the program wrote it before it spoke UTF-8: the source
    // folder in the system's own ANSI code page, accented; the copy folder
    // in UTF-8 as the program writes it now.
    DWORD legacy = 0;
    ASSERT_NE(GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                             reinterpret_cast<LPWSTR>(&legacy), sizeof legacy / sizeof(wchar_t)),
              0);
    const std::string source = s.SourceFolder() + u8"\\Café Noël";
    const std::string oldSource = Narrow(Wide(source, CP_UTF8), legacy);
    ASSERT_NE(oldSource, source);
    ASSERT_EQ(Wide(oldSource, legacy), Wide(source, CP_UTF8)) << "the folder's name fits the legacy code page";
    const std::string copies = s.CopyFolder() + u8"\\Копии";
    ASSERT_TRUE(CreateDirectoryW(Wide(source, CP_UTF8).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Wide(copies, CP_UTF8).c_str(), nullptr));
    g_sExeName = "Snapwell";
    g_sConfigFolder = s.ConfigFile().substr(0, s.ConfigFile().rfind('\\') + 1);
    CreateDirectoryA(g_sConfigFolder.c_str(), nullptr);
    TProperties settings(oldSource.c_str(), copies.c_str());
    settings.m_nFilenameMode = fmNeverPrompt;
    OpenConfig()->WriteProperties(settings);

    const struct {
        std::string name;
        int32_t w, h;
    } pictures[] = {
        {u8"東京タワー.jpg", 160, 120}, {u8"Москва.jpg", 160, 120}, {u8"Ελλάδα.jpg", 160, 120},
        {u8"Crème brûlée.jpg", 160, 120}, {u8"🌅 Morgen.jpg", 160, 120},
    };
    for (const auto& p : pictures) {
        const std::wstring to = Wide(source + "\\" + p.name, CP_UTF8);
        const std::wstring from = Wide(std::string(SNAPWELL_CORPUS_DIR) + "/jpeg_baseline_420.jpg", CP_UTF8);
        ASSERT_TRUE(CopyFileW(from.c_str(), to.c_str(), FALSE)) << p.name;
        SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    Program program;
    ASSERT_TRUE(program.Start()) << GetLastError();
    HWND main = nullptr;
    ASSERT_TRUE(harness::WaitUntil(
        [&] { return (main = harness::FindProcessWindow(program.process.dwProcessId, "TfrmMain")) != nullptr; },
        20000));
    HWND tree = harness::FindDescendant(main, "SysTreeView32");
    ASSERT_TRUE(tree);
    // The old record's folder is open: its pictures are listed, the first shown.
    ASSERT_TRUE(harness::WaitUntil([&] { return Selected(tree) != nullptr; }));
    EXPECT_EQ(TreeView_GetCount(tree), 1 + std::size(pictures));

    // The first turned right, then each copied with Ctrl+C, auto advance
    // going on to the next and round to the first.
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(cmdRotateRight, 0), 0);
    const HTREEITEM first = Selected(tree);
    for (size_t i = 0; i < std::size(pictures); ++i) {
        const HTREEITEM before = Selected(tree);
        SetForegroundWindow(main);
        ASSERT_TRUE(harness::WaitUntil([&] { return GetForegroundWindow() == main; }));
        PressChord('C');
        ASSERT_TRUE(harness::WaitUntil([&] { return Selected(tree) != before; }, 20000)) << i;
    }
    EXPECT_EQ(Selected(tree), first);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.process.hProcess, 20000), WAIT_OBJECT_0);

    // Every copy under its source's true name, one of them turned.
    int turned = 0;
    for (const auto& p : pictures) {
        int32_t w = 0, h = 0;
        EXPECT_FALSE(Decoded(copies + "\\" + p.name, w, h).empty()) << p.name;
        EXPECT_TRUE((w == p.w && h == p.h) || (w == p.h && h == p.w)) << p.name;
        turned += w == p.h;
    }
    EXPECT_EQ(turned, 1);
    std::set<std::wstring> written;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(Wide(copies + "\\*.jpg", CP_UTF8).c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do
        written.insert(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    std::set<std::wstring> expected;
    for (const auto& p : pictures)
        expected.insert(Wide(p.name, CP_UTF8));
    EXPECT_EQ(written, expected);

    // The record now holds the folder in UTF-8, in the same layout.
    const std::string record = imagingtest::ReadFileBytes(s.ConfigFile());
    EXPECT_NE(record.find(source + std::string(1, '\0')), std::string::npos);
    EXPECT_EQ(record.find(oldSource + std::string(1, '\0')), std::string::npos);
    TProperties stored("", "");
    ASSERT_TRUE(OpenConfig()->ReadProperties(stored));
    EXPECT_EQ(std::string(stored.m_szSourceFolder), source);
    EXPECT_EQ(std::string(stored.m_szTargetFolder), copies);
}

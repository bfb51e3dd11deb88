#include "bench/WindowDriver.h"

#include "bench/Clock.h"
#include "harness/Dialogs.h"
#include "harness/Gui.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace bench {
namespace {

std::string ProgramName() {
    char szPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string sName = szPath;
    sName = sName.substr(sName.find_last_of("\\/") + 1);
    return sName.substr(0, sName.rfind('.'));
}

} // namespace

void Fail(const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", ProgramName().c_str(), what.c_str());
    std::fflush(stdout);
    std::fflush(stderr);
    ExitProcess(1);
}

void Check(bool ok, const std::string& what) {
    if (!ok)
        Fail(what);
}

MessageBoxWatch::MessageBoxWatch(TPolicy policy)
    : m_Policy(policy), m_Thread([this] {
          while (!m_bStop) {
              if (HWND box = harness::FindProcessDialog()) {
                  Sleep(50); // its text is set after it appears
                  const std::string sText = harness::MessageBoxText(box);
                  if (m_Policy == kStop) {
                      std::fprintf(stderr, "%s: a message box appeared: \"%s\"\n", ProgramName().c_str(),
                                   sText.c_str());
                      std::fflush(stdout);
                      ExitProcess(3);
                  }
                  {
                      std::lock_guard<std::mutex> lock(m_Lock);
                      m_Texts.push_back(sText);
                  }
                  const LRESULT nDefault = SendMessageA(box, DM_GETDEFID, 0, 0);
                  harness::PressButton(box, HIWORD(nDefault) == DC_HASDEFID ? LOWORD(nDefault) : IDOK);
                  harness::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
              }
              Sleep(20);
          }
      }) {}

MessageBoxWatch::~MessageBoxWatch() {
    m_bStop = true;
    m_Thread.join();
}

std::vector<std::string> MessageBoxWatch::TakeTexts() {
    std::lock_guard<std::mutex> lock(m_Lock);
    return std::exchange(m_Texts, {});
}

Session::Session(const std::string& sSource) {
    for (const char* folder : {"AppData", "Documents"})
        CreateDirectoryA(m_Root.File(folder).c_str(), nullptr);
    Check(m_AppData.Set(m_Root.File("AppData")) && m_Pictures.Set(sSource) &&
              m_Personal.Set(m_Root.File("Documents")),
          "cannot set the per-user folders");
}

Session::~Session() {
    Close();
}

void Session::Close() {
    if (!m_pForm || !m_pForm->Handle())
        return;
    HWND hwnd = m_pForm->Handle();
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    harness::PumpUntil([&] { return !IsWindow(hwnd); });
}

double Session::Start() {
    const double start = Now();
    m_pForm = std::make_unique<TfrmMain>();
    Check(m_pForm->Create(), "the main window was not created");
    m_pForm->Show(SW_SHOWNORMAL);
    harness::PumpMessages();
    Check(m_pForm->Initialised(), "the main window did not start");
    return Now() - start;
}

void SendCommand(TfrmMain& form, unsigned nId) {
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(nId, 0), 0);
}

std::vector<HTREEITEM> Entries(HWND tree) {
    std::vector<HTREEITEM> entries;
    HTREEITEM root = TreeView_GetRoot(tree);
    for (HTREEITEM item = root ? TreeView_GetChild(tree, root) : nullptr; item;
         item = TreeView_GetNextSibling(tree, item))
        entries.push_back(item);
    return entries;
}

std::string EntryText(HWND tree, HTREEITEM item) {
    char szText[MAX_PATH + 1] = {};
    TVITEMA tvi{};
    tvi.mask = TVIF_TEXT | TVIF_HANDLE;
    tvi.hItem = item;
    tvi.pszText = szText;
    tvi.cchTextMax = sizeof szText;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi));
    return szText;
}

void DrawBox(HWND view, POINT from, POINT to) {
    SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(from.x, from.y));
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    harness::PumpMessages();
}

void Pause(double ms) {
    const double end = Now() + ms;
    for (double left = ms; left > 0; left = end - Now()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left) + 1, QS_ALLINPUT);
        harness::PumpMessages();
    }
}

bool JpegSize(const std::string& sPath, int32_t& nWidth, int32_t& nHeight) {
    FILE* f = std::fopen(sPath.c_str(), "rb");
    if (f == nullptr)
        return false;
    bool bFound = false;
    int c = 0;
    if (std::fgetc(f) == 0xFF && std::fgetc(f) == 0xD8) {
        while ((c = std::fgetc(f)) == 0xFF) {
            int marker = std::fgetc(f);
            while (marker == 0xFF)
                marker = std::fgetc(f);
            const int hi = std::fgetc(f), lo = std::fgetc(f);
            if (marker == EOF || hi == EOF || lo == EOF)
                break;
            const long nLength = (long(hi) << 8) | lo;
            // Start of frame: every SOFn but DHT (C4), JPG (C8) and DAC (CC).
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
                unsigned char b[5];
                if (std::fread(b, 1, 5, f) == 5) {
                    nHeight = (b[1] << 8) | b[2];
                    nWidth = (b[3] << 8) | b[4];
                    bFound = true;
                }
                break;
            }
            if (nLength < 2 || std::fseek(f, nLength - 2, SEEK_CUR) != 0)
                break;
        }
    }
    std::fclose(f);
    return bFound;
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

size_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

MemoryWatch::MemoryWatch()
    : m_nBefore(PrivateBytes()), m_nPeak(m_nBefore), m_Thread([this] {
          while (!m_bStop) {
              if (!m_bPaused)
                  m_nPeak = std::max(m_nPeak.load(), PrivateBytes());
              Sleep(3);
          }
      }) {}

MemoryWatch::~MemoryWatch() {
    Stop();
}

void MemoryWatch::Stop() {
    m_bStop = true;
    if (m_Thread.joinable())
        m_Thread.join();
}

std::vector<std::string> JpegsIn(const std::string& sFolder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((sFolder + "\\*.jpg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.emplace_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace bench

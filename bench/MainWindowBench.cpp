// The real main window under Wine, in this process, as a person uses it:
// the per-user folders point at a temporary folder, except the source
// folder, which is the folder given.
//
//   bench_main_window.exe folder <folder> [steps]
//       a folder of JPEGs of one size: start-up with the first fill of the
//       tree, Refresh, and selecting an entry, Next Image and Prev Image,
//       each with the messages and paints it leaves behind;
//   bench_main_window.exe camera <folder>
//       Next Image through a folder of large pictures until the picture is
//       painted, beside the decode alone (CImage::Load of the same file) and
//       the decode with the display bitmap, in turns.
//
// Prints one line of key=value pairs: times in milliseconds as medians, with
// the fastest and slowest as the spread. Every step is checked (the entry
// selected, the picture shown and painted, the status bar); a failed check
// ends the run with exit code 1, a message box with exit code 3.
#include "app/CommandIds.h"
#include "app/MainRules.h"
#include "app/Mainform.h"
#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "harness/TempFolder.h"
#include "imaging/Cimage.h"
#include "imaging/ImagingLibrary.h"
#include "settings/RegistryValue.h"
#include "support/Message.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

double Now() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "bench_main_window: %s\n", what.c_str());
    std::fflush(stdout);
    ExitProcess(1);
}

void Check(bool ok, const std::string& what) {
    if (!ok)
        Fail(what);
}

// Times of one kind of step.
class Series {
public:
    void Add(double ms) { m_ms.push_back(ms); }
    double Median() const {
        std::vector<double> v = m_ms;
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return n == 0 ? 0.0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    double Min() const { return m_ms.empty() ? 0.0 : *std::min_element(m_ms.begin(), m_ms.end()); }
    double Max() const { return m_ms.empty() ? 0.0 : *std::max_element(m_ms.begin(), m_ms.end()); }
    void Print(const char* name) const {
        std::printf("%s_ms=%.1f %s_min_ms=%.1f %s_max_ms=%.1f %s_n=%zu ", name, Median(), name, Min(), name,
                    Max(), name, m_ms.size());
    }

private:
    std::vector<double> m_ms;
};

// A message box would wait for a person for ever: say what it says and stop.
class MessageBoxWatch {
public:
    MessageBoxWatch()
        : m_thread([this] {
              while (!m_bStop) {
                  if (HWND box = harness::FindProcessDialog()) {
                      Sleep(50); // its text is set after it appears
                      std::fprintf(stderr, "bench_main_window: a message box appeared: \"%s\"\n",
                                   harness::MessageBoxText(box).c_str());
                      std::fflush(stdout);
                      ExitProcess(3);
                  }
                  Sleep(20);
              }
          }) {}
    ~MessageBoxWatch() {
        m_bStop = true;
        m_thread.join();
    }
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

private:
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

// The window over its own configuration and copy folders, reading `sSource`.
class Session {
public:
    explicit Session(const std::string& sSource) {
        for (const char* folder : {"AppData", "Documents"})
            CreateDirectoryA(m_Root.File(folder).c_str(), nullptr);
        Check(m_AppData.Set(m_Root.File("AppData")) && m_Pictures.Set(sSource) &&
                  m_Personal.Set(m_Root.File("Documents")),
              "cannot set the per-user folders");
    }
    ~Session() {
        if (!m_pForm || !m_pForm->Handle())
            return;
        HWND hwnd = m_pForm->Handle();
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        harness::PumpUntil([&] { return !IsWindow(hwnd); });
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Creates and shows the window (the start-up fills the tree) and runs
    // what it leaves queued; returns the time taken.
    double Start() {
        const double start = Now();
        m_pForm = std::make_unique<TfrmMain>();
        Check(m_pForm->Create(), "the main window was not created");
        m_pForm->Show(SW_SHOWNORMAL);
        harness::PumpMessages();
        Check(m_pForm->Initialised(), "the main window did not start");
        return Now() - start;
    }
    TfrmMain& Form() { return *m_pForm; }

private:
    TempFolder m_Root;
    ScopedShellFolder m_AppData{"AppData"};
    ScopedShellFolder m_Pictures{"My Pictures"};
    ScopedShellFolder m_Personal{"Personal"};
    TMesgScope m_Mesg;
    std::unique_ptr<TfrmMain> m_pForm;
};

// Times of a kind of step: the whole step, the call itself and the
// messages and paints it leaves queued (the tree paints its new selection
// from the queue).
struct StepTimes {
    Series whole, call;
    template <class Step> void Run(Step step) {
        const double start = Now();
        step();
        const double called = Now();
        harness::PumpMessages();
        whole.Add(Now() - start);
        call.Add(called - start);
    }
    void Print(const char* name) const {
        whole.Print(name);
        std::printf("%s_call_ms=%.1f ", name, call.Median());
    }
};

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

std::string WindowSize(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

size_t FilesIn(const std::string& sFolder) {
    size_t n = 0;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((sFolder + "\\*.jpg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do
        ++n;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return n;
}

// The status bar's source panel for the picture in `sPath`, as the window
// shows it.
std::string SourceTextOf(const std::string& sPath) {
    CImage image;
    Check(image.Load(sPath), "cannot read " + sPath);
    return SourceText(image.Width(), image.Height());
}

// Whether the window shows the selected entry `expected` with its picture.
void CheckShown(TfrmMain& form, HTREEITEM expected, const std::string& sSource, const char* step) {
    Check(TreeView_GetSelection(form.Tree()) == expected, std::string(step) + ": another entry is selected");
    Check(form.ImageCtrl()->HasPicture(), std::string(step) + ": no picture shown");
    Check(form.StatusText(3) == sSource, std::string(step) + ": the status bar shows \"" +
                                             form.StatusText(3) + "\", not \"" + sSource + "\"");
}

int Folder(const std::string& sFolder, int nSteps) {
    const size_t nFiles = FilesIn(sFolder);
    Check(nFiles > 2, "too few pictures in " + sFolder);
    Session session(sFolder);
    const double startup = session.Start();
    TfrmMain& form = session.Form();
    HWND tree = form.Tree();
    std::vector<HTREEITEM> entries = Entries(tree);
    Check(entries.size() == nFiles, "the tree lists " + std::to_string(entries.size()) + " of " +
                                        std::to_string(nFiles) + " pictures after start-up");
    const std::string sSource = SourceTextOf(sFolder + "\\" + EntryText(tree, entries[0]));
    CheckShown(form, entries[0], sSource, "start-up");

    StepTimes refresh;
    for (int i = 0; i < 5; ++i) {
        refresh.Run([&] { SendCommand(form, cmdPopulate); });
        entries = Entries(tree);
        Check(entries.size() == nFiles, "the tree lists " + std::to_string(entries.size()) + " of " +
                                            std::to_string(nFiles) + " pictures after Refresh");
        CheckShown(form, entries[0], sSource, "Refresh");
    }

    // Selecting as a click does, all over the folder: the entry is scrolled
    // into view first (a person scrolls, then clicks), and only the
    // selection is timed.
    const size_t n = entries.size();
    StepTimes select;
    for (int i = 0; i < nSteps; ++i) {
        const size_t target = (size_t(i) * 7919 + 17) % n;
        TreeView_EnsureVisible(tree, entries[target]);
        harness::PumpMessages();
        select.Run([&] { TreeView_SelectItem(tree, entries[target]); });
        CheckShown(form, entries[target], sSource, "select");
    }

    // Stepping through a folder longer than the tree is high: the selection
    // sits on the last row in view (the first for Prev Image), so every
    // step scrolls the tree by a row, as it does after the first screenful.
    StepTimes next, prev;
    const size_t nRows = std::max<size_t>(TreeView_GetVisibleCount(tree), 1);
    size_t at = n / 2;
    TreeView_SelectItem(tree, entries[at]);
    TreeView_SelectSetFirstVisible(tree, entries[at >= nRows ? at - nRows + 1 : 0]);
    harness::PumpMessages();
    for (int i = 0; i < nSteps; ++i) {
        next.Run([&] { SendCommand(form, cmdNextImage); });
        CheckShown(form, entries[at = (at + 1) % n], sSource, "Next Image");
    }
    TreeView_SelectSetFirstVisible(tree, entries[at]);
    harness::PumpMessages();
    for (int i = 0; i < nSteps; ++i) {
        prev.Run([&] { SendCommand(form, cmdPrevImage); });
        CheckShown(form, entries[at = (at + n - 1) % n], sSource, "Prev Image");
    }

    // Round the ends: Prev Image on the first entry goes to the last one,
    // Next Image on the last back to the first.
    StepTimes wrap;
    TreeView_SelectItem(tree, entries[0]);
    harness::PumpMessages();
    for (int i = 0; i < 5; ++i) {
        wrap.Run([&] { SendCommand(form, cmdPrevImage); });
        CheckShown(form, entries[n - 1], sSource, "Prev Image from the first entry");
        wrap.Run([&] { SendCommand(form, cmdNextImage); });
        CheckShown(form, entries[0], sSource, "Next Image from the last entry");
    }

    std::printf("job=folder entries=%zu window=%s rows=%zu startup_ms=%.1f ", n,
                WindowSize(form.Handle()).c_str(), nRows, startup);
    refresh.Print("refresh");
    select.Print("select");
    next.Print("next");
    prev.Print("prev");
    wrap.Print("wrap");
    std::printf("\n");
    return 0;
}

// When the view last finished a paint, and how many paints it had.
HWND g_hView = nullptr;
int g_nPaints = 0;
double g_nLastPaintEnd = 0.0;

LRESULT CALLBACK AfterMessage(int code, WPARAM wp, LPARAM lp) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && message->hwnd == g_hView && message->message == WM_PAINT) {
        ++g_nPaints;
        g_nLastPaintEnd = Now();
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// Points inside the picture's place in the view: around the centre.
std::vector<POINT> ProbePoints(HWND view) {
    RECT client{};
    GetClientRect(view, &client);
    const int cx = client.right / 2, cy = client.bottom / 2, dx = client.right / 8, dy = client.bottom / 8;
    return {{cx, cy}, {cx - dx, cy - dy}, {cx + dx, cy - dy}, {cx - dx, cy + dy}, {cx + dx, cy + dy}};
}

constexpr COLORREF kMark = RGB(255, 0, 255);

// Marks the probe points without invalidating anything: only a paint of
// the new picture can take the marks away.
void Mark(HWND view, const std::vector<POINT>& points) {
    HDC dc = GetDC(view);
    for (const POINT& p : points)
        SetPixel(dc, p.x, p.y, kMark);
    GdiFlush();
    ReleaseDC(view, dc);
}

size_t CountMarked(HWND view, const std::vector<POINT>& points) {
    HDC dc = GetDC(view);
    size_t n = 0;
    for (const POINT& p : points)
        n += GetPixel(dc, p.x, p.y) == kMark ? 1 : 0;
    ReleaseDC(view, dc);
    return n;
}

int Camera(const std::string& sFolder) {
    Session session(sFolder);
    const double startup = session.Start();
    TfrmMain& form = session.Form();
    HWND tree = form.Tree();
    const std::vector<HTREEITEM> entries = Entries(tree);
    Check(entries.size() >= 6, "at least 6 pictures are needed in " + sFolder);

    HWND view = form.ImageCtrl()->Handle();
    g_hView = view;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
    Check(hook != nullptr, "cannot watch the view's paints");
    const std::vector<POINT> probes = ProbePoints(view);

    Series decode, bitmap, next, painted;
    StepTimes after;
    int32_t nWidth = 0, nHeight = 0;
    for (size_t i = 1; i < entries.size(); ++i) {
        const std::string sPath = sFolder + "\\" + EntryText(tree, entries[i]);
        {
            // The same file decoded alone, then with the display bitmap.
            CImage image;
            double start = Now();
            Check(image.Load(sPath), "cannot read " + sPath);
            decode.Add(Now() - start);
            nWidth = image.Width();
            nHeight = image.Height();
            HDC dc = GetDC(view);
            start = Now();
            HBITMAP made = image.CreateBitmap(dc);
            bitmap.Add(Now() - start);
            Check(made != nullptr, "cannot make the display bitmap");
            DeleteObject(made);
            ReleaseDC(view, dc);
        }
        Mark(view, probes);
        Check(CountMarked(view, probes) == probes.size(), "the view's pixels cannot be read back");
        g_nPaints = 0;
        const double start = Now();
        SendCommand(form, cmdNextImage);
        const double end = Now();
        // Painted inside the command: the view painted, has nothing left to
        // paint, and shows the new picture where the marks were.
        Check(g_nPaints > 0, "Next Image returned before the view painted");
        next.Add(end - start);
        painted.Add(g_nLastPaintEnd - start);
        Check(!GetUpdateRect(view, nullptr, FALSE), "Next Image left the view to be painted later");
        Check(CountMarked(view, probes) == 0, "Next Image returned before the picture was on the screen");
        CheckShown(form, entries[i], SourceText(nWidth, nHeight), "Next Image");
        after.Run([] {});
    }
    UnhookWindowsHookEx(hook);

    std::printf("job=camera picture=%dx%d view=%s startup_ms=%.1f ", nWidth, nHeight,
                WindowSize(view).c_str(), startup);
    decode.Print("decode");
    bitmap.Print("bitmap");
    next.Print("next");
    painted.Print("painted");
    after.whole.Print("after");
    std::printf("ratio=%.2f\n", next.Median() / decode.Median());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    const int nSteps = argc > 3 ? std::atoi(argv[3]) : 50;
    if ((mode != "folder" && mode != "camera") || nSteps < 1) {
        std::fprintf(stderr, "usage: %s folder FOLDER [STEPS] | camera FOLDER\n", argv[0]);
        return 2;
    }
    Check(InitImaging(), "Failure loading the image dll");
    MessageBoxWatch watch;
    const int code = mode == "folder" ? Folder(argv[2], nSteps) : Camera(argv[2]);
    std::fflush(stdout);
    return code;
}

// The real main window under Wine, in this process, as a person uses it:
// the per-user folders point at a temporary folder, except the source
// folder, which is the folder given.
//
//   bench_main_window.exe folder <folder> [steps]
//       a folder of JPEGs of one size: start-up with the first fill of the
//       tree, Refresh, and selecting an entry, Next Image and Prev Image,
//       each with the messages and paints it leaves behind;
//   bench_main_window.exe photos <folder> <firsts-parent> [pause-ms]
//       a folder of camera pictures gone through as a person does, with a
//       pause on each picture: Next Image, Copy Image with auto advance, and
//       the first picture of each folder under <firsts-parent> (see Photos).
//
// Prints one line of key=value pairs: times in milliseconds as medians, with
// the fastest and slowest as the spread. Every step is checked (the entry
// selected, the picture shown and painted, the status bar); a failed check
// ends the run with exit code 1, a message box with exit code 3.
#include "app/CommandIds.h"
#include "app/MainRules.h"
#include "app/Mainform.h"
#include "bench/Clock.h"
#include "bench/WindowDriver.h"
#include "harness/Gui.h"
#include "harness/TempFolder.h"
#include "imaging/Cimage.h"
#include "imaging/ImagingLibrary.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using bench::Check;
using bench::DrawBox;
using bench::Entries;
using bench::EntryText;
using bench::MemoryWatch;
using bench::Pause;
using bench::PeakWorkingSet;
using bench::SendCommand;
using bench::Session;

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

std::string WindowSize(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
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
    const size_t nFiles = bench::JpegsIn(sFolder).size();
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

// A command timed from the moment it is sent until it returns, checked to
// have painted the new picture before returning: the view painted, has
// nothing left to paint, and shows a picture where the marks were.
class PaintedStep {
public:
    explicit PaintedStep(HWND view) : m_hView(view), m_Probes(ProbePoints(view)) {
        g_hView = view;
        m_hHook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
        Check(m_hHook != nullptr, "cannot watch the view's paints");
    }
    ~PaintedStep() { UnhookWindowsHookEx(m_hHook); }
    PaintedStep(const PaintedStep&) = delete;
    PaintedStep& operator=(const PaintedStep&) = delete;

    template <class Step> double Run(const char* name, Step step) {
        Mark(m_hView, m_Probes);
        Check(CountMarked(m_hView, m_Probes) == m_Probes.size(), "the view's pixels cannot be read back");
        g_nPaints = 0;
        const double start = Now();
        step();
        const double ms = Now() - start;
        Check(g_nPaints > 0, std::string(name) + " returned before the view painted");
        Check(!GetUpdateRect(m_hView, nullptr, FALSE),
              std::string(name) + " left the view to be painted later");
        Check(CountMarked(m_hView, m_Probes) == 0,
              std::string(name) + " returned before the picture was on the screen");
        return ms;
    }

private:
    HWND m_hView;
    std::vector<POINT> m_Probes;
    HHOOK m_hHook = nullptr;
};

std::vector<std::string> FoldersIn(const std::string& sParent) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((sParent + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
            names.emplace_back(sParent + "\\" + found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// The user's work on a folder of camera pictures, each step after a pause
// of `pauseMs` on the picture:
//   (a) Next Image through the folder, to the next picture painted;
//   (b) Copy Image with auto advance (a crop box drawn once and kept, the
//       copy scaled to a 1920 x 1080 display, every fifth picture turned
//       first, the turn timed to the turned picture painted), to the copy
//       written and the next picture painted;
//   (c) the first picture of each folder under `sFirsts`, from the source
//       folder chosen to its first picture painted, each beside the decode
//       alone (CImage::Load) of that picture a second before;
//   (d) after (a), the window made smaller and larger again, each step to
//       the view repainted;
// and the decode alone of every picture before the window opens, into new
// memory and into the last picture's. Also the process's private bytes at
// their peak against the bound of two pictures and a display bitmap.
int Photos(const std::string& sFolder, const std::string& sFirsts, double pauseMs) {
    const std::vector<std::string> names = bench::JpegsIn(sFolder);
    const std::vector<std::string> firsts = FoldersIn(sFirsts);
    Check(names.size() >= 6, "at least 6 pictures are needed in " + sFolder);
    Check(!firsts.empty(), "no folders in " + sFirsts);

    // Each picture decoded alone into new memory, as a program without a
    // picture before does; then into the memory of the picture before, as
    // the window does.
    Series decode, decodeReused;
    int32_t nWidth = 0, nHeight = 0;
    for (const std::string& name : names) {
        CImage image;
        const double start = Now();
        Check(image.Load(sFolder + "\\" + name), "cannot read " + name);
        decode.Add(Now() - start);
        Check(nWidth == 0 || (image.Width() == nWidth && image.Height() == nHeight),
              "the pictures differ in size");
        nWidth = image.Width();
        nHeight = image.Height();
    }
    {
        CImage image;
        for (const std::string& name : names) {
            TLoadOptions options;
            options.hReuse = image.ReleaseBlock();
            const double start = Now();
            Check(image.Load(sFolder + "\\" + name, options) == TLoadResult::Loaded, "cannot read " + name);
            decodeReused.Add(Now() - start);
        }
    }
    const size_t pictureBytes = size_t(nWidth) * size_t(nHeight) * 3;
    const std::string sSource = SourceText(nWidth, nHeight);
    size_t fileBytes = 0; // the largest file, which a decode holds while it works
    for (const std::string& name : names) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExA((sFolder + "\\" + name).c_str(), GetFileExInfoStandard, &data))
            fileBytes = std::max<size_t>(fileBytes, data.nFileSizeLow);
    }

    // The window starts on an empty folder: what it takes by itself is not
    // counted against the pictures.
    TempFolder empty;
    Session session(empty.Path());
    session.Start();
    TfrmMain& form = session.Form();
    Pause(pauseMs);
    const size_t workingBefore = PeakWorkingSet();
    MemoryWatch memory;
    TProperties& props = *form.Properties();
    props.SetSourceFolder(sFolder.c_str());
    SendCommand(form, cmdPopulate);
    HWND tree = form.Tree();
    const std::vector<HTREEITEM> entries = Entries(tree);
    Check(entries.size() == names.size(), "the tree does not list the folder's pictures");
    CheckShown(form, entries[0], sSource, "start-up");
    HWND view = form.ImageCtrl()->Handle();
    PaintedStep painted(view);
    const CPictureCache::TStats afterStart = form.Pictures()->Stats();

    // (a)
    Series next;
    for (size_t i = 1; i < entries.size(); ++i) {
        Pause(pauseMs);
        next.Add(painted.Run("Next Image", [&] { SendCommand(form, cmdNextImage); }));
        CheckShown(form, entries[i], sSource, "Next Image");
    }
    const CPictureCache::TStats afterNext = form.Pictures()->Stats();

    // (d) The window made smaller and larger again, as a person drags its
    // corner, each step to the view repainted at its new size.
    Series resize;
    {
        RECT window{};
        GetWindowRect(form.Handle(), &window);
        const int w = window.right - window.left, h = window.bottom - window.top;
        for (int i = 0; i < 12; ++i) {
            Pause(pauseMs / 4);
            const int dw = i % 2 == 0 ? -120 : 0, dh = i % 2 == 0 ? -80 : 0;
            resize.Add(painted.Run("a resize", [&] {
                SetWindowPos(form.Handle(), nullptr, 0, 0, w + dw, h + dh,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                RedrawWindow(form.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            }));
        }
    }

    // (b) From the first picture again, as a display of 1920 x 1080 takes it.
    Pause(pauseMs);
    SendCommand(form, cmdNextImage);
    CheckShown(form, entries[0], sSource, "Next Image round the end");
    const std::string sCopies = session.CopyFolder();
    props.SetTargetFolder(sCopies.c_str());
    props.m_nMaxWidth = 1920;
    props.m_nMaxHeight = 1080;
    props.m_bMaxSize = props.m_bSnapRatio = props.m_bPrevRect = props.m_bAutoAdvance = true;
    props.m_bEnlargement = false;
    props.m_nFilenameMode = fmNeverPrompt;
    form.ImageCtrl()->SetProperties(&props);
    {
        RECT client{};
        GetClientRect(view, &client);
        DrawBox(view, {client.right / 10, client.bottom / 10}, {client.right * 9 / 10, client.bottom * 9 / 10});
    }
    Series copy, rotate;
    int nCopies = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        Pause(pauseMs);
        if (i % 5 == 4) {
            rotate.Add(painted.Run("Rotate Right", [&] { SendCommand(form, cmdRotateRight); }));
            Pause(pauseMs);
        }
        const std::string sCopy = sCopies + "\\" + CopyFileName(EntryText(tree, entries[i]));
        copy.Add(painted.Run("Copy Image", [&] { SendCommand(form, cmdCopy); }));
        CheckShown(form, entries[(i + 1) % entries.size()], sSource, "Copy Image");
        CImage written;
        Check(written.Load(sCopy) && written.Width() == 1920 && written.Height() == 1080,
              "Copy Image did not write " + sCopy + " at 1920 x 1080");
        ++nCopies;
    }
    const CPictureCache::TStats afterCopy = form.Pictures()->Stats();

    // (c), each beside the decode alone of the same picture a moment before
    // in this process (new memory, as for a program's first picture), so
    // both see the machine as it is then.
    Series first, decodeBeside;
    for (const std::string& sFirst : firsts) {
        Pause(pauseMs);
        memory.Pause(true);
        {
            CImage alone;
            const double start = Now();
            Check(alone.Load(sFirst + "\\" + bench::JpegsIn(sFirst).front()), "cannot read " + sFirst);
            decodeBeside.Add(Now() - start);
        }
        Pause(50);
        memory.Pause(false);
        Pause(pauseMs);
        props.SetSourceFolder(sFirst.c_str());
        first.Add(painted.Run("the first picture", [&] { SendCommand(form, cmdPopulate); }));
        const std::vector<HTREEITEM> listed = Entries(tree);
        Check(!listed.empty(), "no pictures listed in " + sFirst);
        CheckShown(form, listed[0], sSource, "the first picture");
    }
    const CPictureCache::TStats afterFirst = form.Pictures()->Stats();
    memory.Stop();

    std::printf("job=photos picture=%dx%d pictures=%zu folders=%zu pause_ms=%.0f view=%s ", nWidth, nHeight,
                names.size(), firsts.size(), pauseMs, WindowSize(view).c_str());
    decode.Print("decode");
    decodeReused.Print("decode_reused");
    decodeBeside.Print("decode_beside");
    next.Print("next");
    copy.Print("copy");
    rotate.Print("rotate");
    resize.Print("resize");
    first.Print("first");
    std::printf("first_ratio=%.2f first_ratio_quiet=%.2f first_ratio_reused=%.2f next_decodes=%d "
                "copy_decodes=%d first_decodes=%d "
                "read_aheads=%d refused=%d "
                "peak_pictures=%d copies=%d ",
                first.Median() / decodeBeside.Median(), first.Median() / decode.Median(),
                first.Median() / decodeReused.Median(), afterNext.nDecodes - afterStart.nDecodes,
                afterCopy.nDecodes - afterNext.nDecodes, afterFirst.nDecodes - afterCopy.nDecodes,
                afterFirst.nReadAheads, afterFirst.nRefused, afterFirst.nPeakPictures, nCopies);
    std::printf("private_before_kb=%zu private_peak_kb=%zu working_peak_before_kb=%zu working_peak_kb=%zu "
                "picture_bytes=%zu bitmap_bytes=%zu file_bytes=%zu\n",
                memory.Before() / 1024, memory.Peak() / 1024, workingBefore / 1024, PeakWorkingSet() / 1024,
                pictureBytes, size_t(nWidth) * size_t(nHeight) * 4, fileBytes);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    const int nSteps = mode == "folder" && argc > 3 ? std::atoi(argv[3]) : 50;
    const double pauseMs = mode == "photos" && argc > 4 ? std::atof(argv[4]) : 1000.0;
    if (!((mode == "folder" && nSteps >= 1) || (mode == "photos" && argc > 3))) {
        std::fprintf(stderr, "usage: %s folder FOLDER [STEPS] | photos FOLDER FIRSTS-PARENT [PAUSE-MS]\n",
                     argv[0]);
        return 2;
    }
    Check(InitImaging(), "Failure loading the image dll");
    bench::MessageBoxWatch watch;
    const int code = mode == "folder" ? Folder(argv[2], nSteps) : Photos(argv[2], argv[3], pauseMs);
    std::fflush(stdout);
    return code;
}

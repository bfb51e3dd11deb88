// The soak: the real main window in this process going through the same
// work a thousand times over, to show that nothing it holds grows.
//
//   bench_soak.exe <folder> [cycles]
//       <folder> holds pictures of one size (50 for the soak). Each cycle
//       selects a picture as a click does (a jump through the folder),
//       turns it (right, left or half, in turn), draws a crop box (another
//       one each time) and copies it with auto advance into the copy folder
//       (the copies replace those of the pass before), scaled to a
//       1024 x 768 display. Every second cycle the user then looks at the
//       picture until the next one is read ahead; on the others the next
//       selection stops the read-ahead.
//
// The first pass through the folder warms up (every picture, every turn);
// then the process's GDI objects, USER objects, kernel handles and private
// bytes are sampled after every pass, at the same picture and once the
// read-ahead has settled, and the last sample is compared with the first.
// Then the window closes and a second one makes one pass over the folder
// and closes too: what is left after the second must equal what was left
// after the first (the system's caches, made on first use, stay). Prints
// one line "sample cycle=... gdi=... user=... handles=... private_kb=..." a
// sample and a last line of key=value pairs with the thresholds and the
// verdict. Exit code 0 when nothing grew beyond its threshold, 4 when
// something did; a failed check ends the run with 1, a message box with 3.
#include "app/CommandIds.h"
#include "app/MainRules.h"
#include "bench/Clock.h"
#include "bench/ProcessCounts.h"
#include "bench/WindowDriver.h"
#include "harness/Gui.h"
#include "imaging/ImagingLibrary.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

namespace {

using namespace bench;

// Growth from the first sample after the warm-up to the last that counts as
// noise. Objects and handles: a few, for what the system makes lazily on
// its own (a tooltip, a cached brush). Private bytes: the heap's own slack
// after a thousand cycles of pictures of 5.5 MB each, which stayed under
// 0.1 MB in both builds under Wine; anything left behind each cycle from
// about 2 kB up shows, a picture or a bitmap a cycle would be gigabytes.
constexpr uint32_t kObjectNoise = 5;
constexpr uint32_t kHandleNoise = 5;
constexpr size_t kPrivateNoiseBytes = 2u << 20;

constexpr int kCopyWidth = 1024;
constexpr int kCopyHeight = 768;

// The counters count what this process makes and frees: a bitmap, a menu
// and a window, and an event, each seen once and gone again. A count that
// does not move would pass any soak.
HWND NewWindow() {
    return CreateWindowExA(0, "STATIC", "", 0, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr);
}

void CheckCounters() {
    // The system keeps a window of its own (Wine's input method window)
    // while the thread has any: one is held meanwhile, as the main window is.
    HWND holder = NewWindow();
    const TProcessCounts before = CountProcess();
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    HMENU menu = CreatePopupMenu();
    HWND window = NewWindow();
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const TProcessCounts with = CountProcess();
    DeleteObject(bitmap);
    DestroyMenu(menu);
    DestroyWindow(window);
    CloseHandle(event);
    const TProcessCounts after = CountProcess();
    Check(with.nGdi == before.nGdi + 1 && with.nUser == before.nUser + 2 && with.nHandles == before.nHandles + 1,
          "the counters did not count a new bitmap, menu, window and event (" + CountSources() + "): gdi " +
              std::to_string(before.nGdi) + " -> " + std::to_string(with.nGdi) + ", user " +
              std::to_string(before.nUser) + " -> " + std::to_string(with.nUser) + ", handles " +
              std::to_string(before.nHandles) + " -> " + std::to_string(with.nHandles));
    Check(after.nGdi == before.nGdi && after.nUser == before.nUser && after.nHandles == before.nHandles,
          "the counters did not see the bitmap, menu, window and event go");
    DestroyWindow(holder);
}

void PrintSample(int nCycle, const TProcessCounts& c) {
    std::printf("sample cycle=%d gdi=%u user=%u handles=%u private_kb=%zu\n", nCycle, c.nGdi, c.nUser, c.nHandles,
                c.nPrivateBytes / 1024);
    std::fflush(stdout);
}

// Lets the read-ahead the last command started arrive or be refused.
void Settle(TfrmMain& form) {
    harness::PumpMessages();
    CPictureCache& pictures = *form.Pictures();
    Check(harness::PumpUntil([&] { return pictures.AheadPath().empty() || pictures.AheadArrived(); }, 60000),
          "the read-ahead did not finish within a minute");
}

struct TSamples {
    TProcessCounts first, last; // after the warm-up pass, and at the end
    double seconds = 0;
};

// A window of its own over the folder, `nCycles` cycles, closed again.
TSamples RunWindow(const std::string& sFolder, int nCycles, bool bPrint) {
    TempFolder empty;
    Session session(empty.Path());
    session.Start();
    TfrmMain& form = session.Form();
    TProperties& props = *form.Properties();
    props.SetSourceFolder(sFolder.c_str());
    props.SetTargetFolder(session.CopyFolder().c_str());
    props.m_nMaxWidth = kCopyWidth;
    props.m_nMaxHeight = kCopyHeight;
    props.m_bMaxSize = props.m_bSnapRatio = props.m_bAutoAdvance = true;
    props.m_bPrevRect = props.m_bEnlargement = false;
    props.m_nFilenameMode = fmNeverPrompt;
    SendCommand(form, cmdPopulate);
    HWND tree = form.Tree();
    HWND view = form.ImageCtrl()->Handle();
    const std::vector<HTREEITEM> entries = Entries(tree);
    const int n = int(entries.size());
    Check(n >= 4, "too few pictures listed in " + sFolder);
    std::vector<std::string> copies;
    for (HTREEITEM entry : entries)
        copies.push_back(session.CopyFolder() + "\\" + CopyFileName(EntryText(tree, entry)));
    RECT client{};
    GetClientRect(view, &client);
    const int cx = client.right, cy = client.bottom;
    static const unsigned kTurns[] = {cmdRotateRight, cmdRotateLeft, cmdRotateUp};
    // A jump through the folder that meets every picture once a pass.
    int nStride = 7;
    while (std::gcd(nStride, n) != 1)
        ++nStride;

    TSamples samples;
    const double start = Now();
    for (int k = 0; k < nCycles; ++k) {
        const std::string sCycle = "cycle " + std::to_string(k) + ": ";
        const int at = int((long long)k * nStride % n);
        TreeView_SelectItem(tree, entries[at]);
        Check(TreeView_GetSelection(tree) == entries[at] && form.ImageCtrl()->HasPicture(),
              sCycle + "the picture was not shown");
        SendCommand(form, kTurns[k % 3]);
        const int dx = (k * 37) % (cx / 4), dy = (k * 53) % (cy / 4);
        DrawBox(view, {cx / 8 + dx, cy / 8 + dy}, {cx * 7 / 8 - dx / 2, cy * 7 / 8 - dy / 2});
        DeleteFileA(copies[at].c_str());
        SendCommand(form, cmdCopy);
        Check(GetFileAttributesA(copies[at].c_str()) != INVALID_FILE_ATTRIBUTES,
              sCycle + "no copy written at " + copies[at]);
        Check(TreeView_GetSelection(tree) == entries[(at + 1) % n],
              sCycle + "auto advance did not select the next picture");
        if (k % 2 == 0)
            Settle(form);
        else
            harness::PumpMessages();

        // After every pass, on the same picture each time.
        if ((k + 1) % n == 0) {
            int32_t w = 0, h = 0;
            Check(JpegSize(copies[at], w, h) && w > 0 && h > 0 && w <= kCopyWidth && h <= kCopyHeight,
                  sCycle + "the copy is not within " + std::to_string(kCopyWidth) + " x " +
                      std::to_string(kCopyHeight));
            Settle(form);
            const TProcessCounts sample = CountProcess();
            if (bPrint)
                PrintSample(k + 1, sample);
            if (k + 1 == n)
                samples.first = sample;
            samples.last = sample;
        }
    }
    samples.seconds = (Now() - start) / 1000.0;
    session.Close();
    return samples;
}

bool Grew(uint64_t nFrom, uint64_t nTo, uint64_t nNoise) {
    return nTo > nFrom + nNoise;
}

bool Grew(const TProcessCounts& from, const TProcessCounts& to) {
    return Grew(from.nGdi, to.nGdi, kObjectNoise) || Grew(from.nUser, to.nUser, kObjectNoise) ||
           Grew(from.nHandles, to.nHandles, kHandleNoise) ||
           Grew(from.nPrivateBytes, to.nPrivateBytes, kPrivateNoiseBytes);
}

// The soak, then a second window over the same folder for one pass: what
// the first window left behind when it closed (the system's caches made on
// first use among it) must not grow with the second.
int Soak(const std::string& sFolder, int nCycles, int nPictures) {
    CheckCounters();
    const TSamples soak = RunWindow(sFolder, nCycles, true);
    const TProcessCounts closed = CountProcess();
    RunWindow(sFolder, nPictures, false);
    const TProcessCounts closedAgain = CountProcess();

    const bool bGrew = Grew(soak.first, soak.last);
    const bool bWindowLeft = Grew(closed, closedAgain);
    std::string sCounted = CountSources();
    for (char& c : sCounted)
        c = c == ' ' ? ',' : c;
    const TProcessCounts& a = soak.first;
    const TProcessCounts& b = soak.last;
    std::printf("cycles=%d pictures=%d seconds=%.1f counted=%s start_cycle=%d "
                "gdi_start=%u gdi_end=%u user_start=%u user_end=%u handles_start=%u handles_end=%u "
                "private_start_kb=%zu private_end_kb=%zu "
                "noise_objects=%u noise_handles=%u noise_private_kb=%zu "
                "closed_gdi=%u closed_user=%u closed_handles=%u closed_private_kb=%zu "
                "closed_again_gdi=%u closed_again_user=%u closed_again_handles=%u closed_again_private_kb=%zu "
                "verdict=%s\n",
                nCycles, nPictures, soak.seconds, sCounted.c_str(), nPictures, a.nGdi, b.nGdi, a.nUser, b.nUser,
                a.nHandles, b.nHandles, a.nPrivateBytes / 1024, b.nPrivateBytes / 1024, kObjectNoise,
                kHandleNoise, kPrivateNoiseBytes / 1024, closed.nGdi, closed.nUser, closed.nHandles,
                closed.nPrivateBytes / 1024, closedAgain.nGdi, closedAgain.nUser, closedAgain.nHandles,
                closedAgain.nPrivateBytes / 1024,
                bGrew ? "GREW" : bWindowLeft ? "WINDOW-LEFT-OBJECTS" : "steady");
    return bGrew || bWindowLeft ? 4 : 0;
}

} // namespace

int main(int argc, char** argv) {
    const int nCycles = argc > 2 ? std::atoi(argv[2]) : 1000;
    if (argc < 2 || argc > 3 || nCycles < 1) {
        std::fprintf(stderr, "usage: %s FOLDER [CYCLES]\n", argv[0]);
        return 2;
    }
    Check(InitImaging(), "Failure loading the image dll");
    const int nPictures = int(JpegsIn(argv[1]).size());
    Check(nPictures >= 4, std::string("too few pictures in ") + argv[1]);
    Check(nCycles >= 2 * nPictures,
          "the warm-up pass and one more need " + std::to_string(2 * nPictures) + " cycles");
    MessageBoxWatch watch;
    const int code = Soak(argv[1], nCycles, nPictures);
    std::fflush(stdout);
    return code;
}

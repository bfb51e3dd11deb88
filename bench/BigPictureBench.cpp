// The real main window with the largest pictures a camera makes (100
// megapixels, 12000 x 8000), in this process as a person uses it: the
// memory each step takes at its peak, in the 32-bit program's address space
// (the program is built large-address-aware, and so is this one) and in the
// 64-bit one's.
//
//   bench_big_picture.exe <folder>
//       <folder> holds two or more JPEGs of one size; the steps, in order:
//       show      the folder chosen: the first picture decoded, its display
//                 bitmap made and painted;
//       rotate    Rotate Right;
//       copy_cut  Copy Image of a box cut from the turned picture, scaled to
//                 a 1920 x 1080 display;
//       next      Next Image (the picture read ahead);
//       copy_full Copy Image of the whole picture at its own size;
//       advance   Copy Image again, with auto advance to the next picture.
//
// After each step the user looks at the picture while the next one is read
// ahead beside it. Prints one line a step, "step=<name> ms=... peak_mb=...
// held_mb=... ahead=... ahead_peak_mb=... result=...": the command's time,
// the private bytes at their peak during it and held after it, what became
// of the read-ahead it started ("arrived", "refused" for want of memory,
// "none" asked, or "late"), the peak while it ran, all above what the window
// held before its first picture, and the result: "ok", or what went wrong:
// "message:<the text of a message box>" (the user was told; the box is
// answered and the run goes on) or "FAILED:<what>" (a silent failure); spaces
// in the result are underscores. Then one line "pictures=... picture=WxH
// failed=N". Exit code 0 when no step failed silently.
#include "app/CommandIds.h"
#include "app/MainRules.h"
#include "bench/Clock.h"
#include "bench/WindowDriver.h"
#include "harness/Gui.h"
#include "imaging/ImagingLibrary.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace bench;

double Mb(size_t nBytes, size_t nBase) {
    return nBytes > nBase ? double(nBytes - nBase) / 1048576.0 : 0.0;
}

class Steps {
public:
    Steps(TfrmMain& form, MemoryWatch& memory, MessageBoxWatch& boxes, size_t nBase)
        : m_Form(form), m_Memory(memory), m_Boxes(boxes), m_nBase(nBase) {}

    // Runs `step` (a command, which paints before it returns), then lets
    // the read-ahead it started finish as the user looks at the picture;
    // `check` says what is wrong afterwards ("" nothing).
    template <class Step, class Verify> void Run(const char* szName, Step step, Verify check) {
        m_Memory.Restart();
        const double start = Now();
        step();
        const double ms = Now() - start;
        const size_t nPeak = m_Memory.Peak();
        const size_t nHeld = PrivateBytes();

        m_Memory.Restart();
        const int nRefusedBefore = m_Form.Pictures()->Stats().nRefused;
        harness::PumpMessages(); // the read-ahead starts once the command is done
        CPictureCache& pictures = *m_Form.Pictures();
        // A picture shown from its reduced read is read whole first; the
        // next one is read ahead after that.
        harness::PumpUntil([&] { return !pictures.ShowsReduced(); }, 120000);
        harness::PumpMessages();
        harness::PumpUntil([&] { return pictures.AheadPath().empty() || pictures.AheadArrived(); }, 120000);
        const size_t nAheadPeak = m_Memory.Peak();
        const char* szAhead = pictures.AheadArrived()                        ? "arrived"
                              : pictures.Stats().nRefused > nRefusedBefore ? "refused"
                              : pictures.AheadPath().empty()               ? "none"
                                                                            : "late";

        std::string sResult = "ok";
        const std::vector<std::string> texts = m_Boxes.TakeTexts();
        if (!texts.empty()) {
            sResult = "message:" + texts.front();
        } else if (const std::string sWrong = check(); !sWrong.empty()) {
            sResult = "FAILED:" + sWrong;
            ++m_nFailed;
        }
        for (char& c : sResult)
            if (c == '\n' || c == '\r' || c == ' ')
                c = '_';
        std::printf("step=%s ms=%.0f peak_mb=%.1f held_mb=%.1f ahead=%s ahead_peak_mb=%.1f result=%s\n", szName,
                    ms, Mb(nPeak, m_nBase), Mb(nHeld, m_nBase), szAhead, Mb(nAheadPeak, m_nBase),
                    sResult.c_str());
        std::fflush(stdout);
    }
    int Failed() const { return m_nFailed; }

private:
    TfrmMain& m_Form;
    MemoryWatch& m_Memory;
    MessageBoxWatch& m_Boxes;
    const size_t m_nBase;
    int m_nFailed = 0;
};

// What is wrong with the window's picture: "" when `entry` is selected, the
// view shows a picture and the status bar reports it at `nWidth` x `nHeight`.
std::string Shown(TfrmMain& form, HTREEITEM entry, int32_t nWidth, int32_t nHeight) {
    if (TreeView_GetSelection(form.Tree()) != entry)
        return "another entry is selected";
    if (!form.Image()->HasPicture())
        return "no picture held";
    if (!form.ImageCtrl()->HasPicture())
        return "the view shows no picture";
    const std::string sExpected = SourceText(nWidth, nHeight);
    if (form.StatusText(3) != sExpected)
        return "the status bar shows \"" + form.StatusText(3) + "\", not \"" + sExpected + "\"";
    return "";
}

std::string Written(const std::string& sPath, int32_t nWidth, int32_t nHeight) {
    int32_t w = 0, h = 0;
    if (!JpegSize(sPath, w, h))
        return "no copy written at " + sPath;
    if (w != nWidth || h != nHeight)
        return "the copy is " + std::to_string(w) + " x " + std::to_string(h) + ", not " +
               std::to_string(nWidth) + " x " + std::to_string(nHeight);
    DeleteFileA(sPath.c_str()); // the next copy of this picture must be new
    return "";
}

int Run(const std::string& sFolder) {
    const std::vector<std::string> names = JpegsIn(sFolder);
    Check(names.size() >= 2, "at least two JPEGs are needed in " + sFolder);
    int32_t nWidth = 0, nHeight = 0;
    Check(JpegSize(sFolder + "\\" + names.front(), nWidth, nHeight), "cannot read the size of " + names.front());

    MessageBoxWatch boxes(MessageBoxWatch::kAnswer);
    TempFolder empty;
    Session session(empty.Path());
    session.Start();
    TfrmMain& form = session.Form();
    Pause(500);
    MemoryWatch memory;
    Steps steps(form, memory, boxes, memory.Before());
    TProperties& props = *form.Properties();
    HWND tree = form.Tree();
    HWND view = form.ImageCtrl()->Handle();
    const std::string sCopies = session.CopyFolder();
    std::vector<HTREEITEM> entries;

    steps.Run(
        "show",
        [&] {
            props.SetSourceFolder(sFolder.c_str());
            SendCommand(form, cmdPopulate);
        },
        [&] {
            entries = Entries(tree);
            return entries.size() == names.size() ? Shown(form, entries[0], nWidth, nHeight)
                                                  : std::string("the tree does not list the pictures");
        });
    Check(entries.size() >= 2, "the folder's pictures are not listed");

    steps.Run(
        "rotate", [&] { SendCommand(form, cmdRotateRight); },
        [&] {
            const std::string sWrong = Shown(form, entries[0], nHeight, nWidth);
            return !sWrong.empty() || form.Rotation() == 0 ? sWrong : std::string("the turn was not counted");
        });

    // A display of 1920 x 1080: a box over most of the view, held to its
    // ratio and scaled to its size; copies replace what is there.
    props.SetTargetFolder(sCopies.c_str());
    props.m_nMaxWidth = 1920;
    props.m_nMaxHeight = 1080;
    props.m_bMaxSize = props.m_bSnapRatio = true;
    props.m_bPrevRect = props.m_bAutoAdvance = props.m_bEnlargement = false;
    props.m_nFilenameMode = fmNeverPrompt;
    form.ImageCtrl()->SetProperties(&props);
    RECT client{};
    GetClientRect(view, &client);
    DrawBox(view, {client.right / 10, client.bottom / 10}, {client.right * 9 / 10, client.bottom * 9 / 10});
    TRect crop;
    const TSize cut = form.ImageCtrl()->GetCropGeometry(crop, true);
    const std::string sFirstCopy = sCopies + "\\" + CopyFileName(EntryText(tree, entries[0]));
    // A turn refused with a message leaves the picture as it was (rotation
    // -1, none): the cut is copied from it unturned. 0 is a right turn.
    const bool bTurned = form.Rotation() == 0;
    steps.Run(
        "copy_cut", [&] { SendCommand(form, cmdCopy); },
        [&] {
            const std::string sWrong = Written(sFirstCopy, cut.Width, cut.Height);
            return sWrong.empty() ? Shown(form, entries[0], bTurned ? nHeight : nWidth, bTurned ? nWidth : nHeight)
                                  : sWrong;
        });

    steps.Run(
        "next", [&] { SendCommand(form, cmdNextImage); },
        [&] { return Shown(form, entries[1], nWidth, nHeight); });

    // No box on a new picture (Previous Rectangle is off), no size limit:
    // the whole picture at its own size.
    props.m_bMaxSize = props.m_bSnapRatio = false;
    form.ImageCtrl()->SetProperties(&props);
    const std::string sSecondCopy = sCopies + "\\" + CopyFileName(EntryText(tree, entries[1]));
    steps.Run(
        "copy_full", [&] { SendCommand(form, cmdCopy); },
        [&] {
            const std::string sWrong = Written(sSecondCopy, nWidth, nHeight);
            return sWrong.empty() ? Shown(form, entries[1], nWidth, nHeight) : sWrong;
        });

    props.m_bAutoAdvance = true;
    const HTREEITEM after = entries.size() > 2 ? entries[2] : entries[0];
    steps.Run(
        "advance", [&] { SendCommand(form, cmdCopy); },
        [&] {
            const std::string sWrong = Written(sSecondCopy, nWidth, nHeight);
            return sWrong.empty() ? Shown(form, after, nWidth, nHeight) : sWrong;
        });

    memory.Stop();
    session.Close();
    std::printf("pictures=%zu picture=%dx%d failed=%d\n", names.size(), nWidth, nHeight, steps.Failed());
    return steps.Failed() == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    Check(InitImaging(), "Failure loading the image dll");
    const int code = Run(argv[1]);
    std::fflush(stdout);
    return code;
}

// The picture on screen in the real window: a zone plate larger than the
// view, read reduced at first and then whole, is shown at the placement's
// size with its rings only where the view can hold them, before and after
// the window changes size and the picture is turned; the crop box and the
// status bar count the whole picture's pixels from the first paint, and
// what needs every pixel (a copy) uses the whole picture.
#include "MainWindowSession.h"

#include "app/CommandIds.h"
#include "harness/Gui.h"
#include "imaging/ImagingLibrary.h"
#include "ui/Dib.h"
#include "ui/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kZoneWidth = 2400, kZoneHeight = 1600;

// cos(pi r^2 / w) around the centre, written as a JPEG by the image object.
void WriteZonePlate(const std::string& path) {
    ASSERT_TRUE(InitImaging());
    const size_t bytes = size_t(kZoneWidth) * kZoneHeight * 3;
    ui::UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, bytes));
    ASSERT_TRUE(block);
    auto* rgb = static_cast<uint8_t*>(GlobalLock(block.Get()));
    for (int32_t y = 0; y < kZoneHeight; ++y)
        for (int32_t x = 0; x < kZoneWidth; ++x) {
            const double dx = x + 0.5 - kZoneWidth / 2.0, dy = y + 0.5 - kZoneHeight / 2.0;
            const auto v = uint8_t(std::lround(127.5 + 127.0 * std::cos(kPi * (dx * dx + dy * dy) / kZoneWidth)));
            uint8_t* p = rgb + (size_t(y) * kZoneWidth + x) * 3;
            p[0] = p[1] = p[2] = v;
        }
    GlobalUnlock(block.Get());
    CImage image;
    ASSERT_TRUE(image.CopyFromMemory(block.Get(), kZoneWidth, kZoneHeight));
    ASSERT_TRUE(image.WriteCopy(path, kZoneWidth, kZoneHeight, 0, 0, kZoneWidth, kZoneHeight, 100));
}

// The view's client pixels as the screen shows them: 0x00RRGGBB.
std::vector<uint32_t> ScreenPixels(HWND view, int32_t& width, int32_t& height) {
    RECT client{};
    GetClientRect(view, &client);
    width = client.right;
    height = client.bottom;
    BITMAPINFO info = ui::TopDownInfo(width, height);
    void* bits = nullptr;
    ui::WindowDC dc(view);
    ui::UniqueBitmap copy(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ui::UniqueMemoryDC memory(dc.Get());
    {
        ui::ScopedSelect select(memory.Get(), copy.Get());
        BitBlt(memory.Get(), 0, 0, width, height, dc.Get(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(p, p + size_t(width) * height);
}

// Root mean square distance from mid-grey, on screen, where the zone
// plate's rings are finer than the view can hold by half again (a proper
// reduction leaves an even grey there, sampling leaves false rings), and
// the number of pixels that counted. The picture is turned by a quarter
// when `turned`.
std::pair<double, int> RingsBeyondTheLimit(const TImageCtrl& view, bool turned) {
    int32_t w = 0, h = 0;
    const std::vector<uint32_t> screen = ScreenPixels(view.Handle(), w, h);
    const TDrawBox& P = view.CropBox().DrawBox();
    const double across = turned ? kZoneHeight : kZoneWidth;
    const double scale = across / P.Width(); // source pixels an output pixel
    const double limit = 1.5 * 0.5 * kZoneWidth / scale;
    double sum = 0;
    int n = 0;
    for (int32_t y = std::max(P.Top, 0); y < std::min(P.Bottom, h); ++y)
        for (int32_t x = std::max(P.Left, 0); x < std::min(P.Right, w); ++x) {
            const double dx = (x + 0.5 - (P.Left + P.Right) / 2.0) * scale;
            const double dy = (y + 0.5 - (P.Top + P.Bottom) / 2.0) * scale;
            if (std::hypot(dx, dy) < limit)
                continue;
            const double d = double(screen[size_t(y) * w + x] & 0xFF) - 127.5;
            sum += d * d;
            ++n;
        }
    return {n > 0 ? std::sqrt(sum / n) : 0.0, n};
}

void ExpectSharpAtItsPlace(const TImageCtrl& view, bool turned, const char* when) {
    SCOPED_TRACE(when);
    const TDrawBox& P = view.CropBox().DrawBox();
    EXPECT_EQ(view.DisplaySize().cx, P.Width());
    EXPECT_EQ(view.DisplaySize().cy, P.Height());
    EXPECT_FALSE(GetUpdateRect(view.Handle(), nullptr, FALSE));
    const auto [rms, n] = RingsBeyondTheLimit(view, turned);
    EXPECT_GT(n, 10000);
    EXPECT_LE(rms, 6.0);
}

} // namespace

TEST(Display, AZonePlateIsShownSharpAtTheViewsSizeFromItsFirstPaint) {
    MainWindowSession s;
    WriteZonePlate(s.SourceFolder() + "\\a.jpg");
    s.AddPicture("jpeg_baseline_420.jpg", "b.jpg");
    TfrmMain& f = s.Start();
    f.Properties()->m_bMaxSize = false;
    f.Properties()->m_bAutoAdvance = false;
    f.Properties()->m_nFilenameMode = fmNeverPrompt;
    CPictureCache& pictures = *f.Pictures();
    const TImageCtrl& view = *f.ImageCtrl();

    // Read reduced for the view first, counted in the whole picture's pixels.
    EXPECT_EQ(pictures.Stats().nReduced, 1);
    EXPECT_EQ(view.CropBox().PictureWidth(), kZoneWidth);
    EXPECT_EQ(f.StatusText(3), " source = 2400 x 1600");
    ASSERT_TRUE(harness::PumpUntil([&] { return !pictures.ShowsReduced(); }, 20000));
    EXPECT_EQ(f.Image()->Width(), kZoneWidth);
    ExpectSharpAtItsPlace(view, false, "whole, maximised");

    // Another size of the window: the bitmap is made again at the new place.
    const SIZE before = view.DisplaySize();
    ShowWindow(f.Handle(), SW_RESTORE);
    harness::PumpMessages();
    EXPECT_NE(view.DisplaySize().cx, before.cx);
    ExpectSharpAtItsPlace(view, false, "restored");

    // A quarter turn is shown at once and the picture turned after it; the
    // copy of the whole picture is the turned picture.
    s.Command(cmdRotateRight);
    EXPECT_EQ(f.StatusText(3), " source = 1600 x 2400");
    ASSERT_TRUE(harness::PumpUntil([&] { return f.Image()->Width() == kZoneHeight; }));
    ExpectSharpAtItsPlace(view, true, "turned");
    s.Command(cmdCopy);
    EXPECT_EQ(ReadPictureSize(s.CopyFolder() + "\\a.jpg"), (PictureSize{kZoneHeight, kZoneWidth}));
}

namespace {

constexpr int32_t kLargeWidth = 6400, kLargeHeight = 3600;

// A grey ramp across a large picture, dark to light: from left to right,
// or from top to bottom.
void WriteRamp(const std::string& path, bool bAcross) {
    ASSERT_TRUE(InitImaging());
    ui::UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, size_t(kLargeWidth) * kLargeHeight * 3));
    ASSERT_TRUE(block);
    auto* rgb = static_cast<uint8_t*>(GlobalLock(block.Get()));
    for (int32_t y = 0; y < kLargeHeight; ++y)
        for (int32_t x = 0; x < kLargeWidth; ++x) {
            const double t = bAcross ? (x + 0.5) / kLargeWidth : (y + 0.5) / kLargeHeight;
            uint8_t* p = rgb + (size_t(y) * kLargeWidth + x) * 3;
            p[0] = p[1] = p[2] = uint8_t(std::lround(255 * t));
        }
    GlobalUnlock(block.Get());
    CImage image;
    ASSERT_TRUE(image.CopyFromMemory(block.Get(), kLargeWidth, kLargeHeight));
    ASSERT_TRUE(image.WriteCopy(path, kLargeWidth, kLargeHeight, 0, 0, kLargeWidth, kLargeHeight, 95));
}

// The mean distance between the placement on screen and the ramp as it
// should lie there: `ramp` gives the grey at (u, v), the placement's
// fractions across and down.
template <typename Ramp> double RampError(const TImageCtrl& view, Ramp ramp) {
    int32_t w = 0, h = 0;
    const std::vector<uint32_t> screen = ScreenPixels(view.Handle(), w, h);
    const TDrawBox& P = view.CropBox().DrawBox();
    double sum = 0;
    int n = 0;
    for (int32_t y = std::max(P.Top, 0); y < std::min(P.Bottom, h); ++y)
        for (int32_t x = std::max(P.Left, 0); x < std::min(P.Right, w); ++x) {
            const double u = (x + 0.5 - P.Left) / P.Width(), v = (y + 0.5 - P.Top) / P.Height();
            sum += std::fabs(double(screen[size_t(y) * w + x] & 0xFF) - 255 * ramp(u, v));
            ++n;
        }
    return n > 1000 ? sum / n : 255.0;
}

} // namespace

// A picture far larger than the view is shown through its go-between (the
// picture reduced once to twice the view): the next picture's is made on
// the read-ahead's thread, a turn turns it, a resize reuses it; each time
// the screen shows the picture it should, never the one before.
TEST(Display, ALargePictureIsShownThroughItsGoBetweenAndNeverAStaleOne) {
    MainWindowSession s;
    WriteRamp(s.SourceFolder() + "\\a.jpg", true);
    WriteRamp(s.SourceFolder() + "\\b.jpg", false);
    TfrmMain& f = s.Start();
    CPictureCache& pictures = *f.Pictures();
    const TImageCtrl& view = *f.ImageCtrl();
    ASSERT_TRUE(harness::PumpUntil([&] { return !pictures.ShowsReduced(); }, 20000));
    const auto across = [](double u, double) { return u; };
    const auto down = [](double, double v) { return v; };
    const auto downTurnedRight = [](double u, double) { return 1 - u; }; // the top goes to the right
    EXPECT_LE(RampError(view, across), 3.0) << "a.jpg whole";

    ASSERT_TRUE(harness::PumpUntil([&] { return pictures.AheadArrived(); }, 20000));
    const int nMade = pictures.Stats().nBetweens;
    s.Command(cmdNextImage);
    EXPECT_EQ(pictures.Stats().nBetweens, nMade) << "the read-ahead brings its own go-between";
    EXPECT_LE(RampError(view, down), 3.0) << "b.jpg after Next";

    s.Command(cmdRotateRight);
    ASSERT_TRUE(harness::PumpUntil([&] { return f.Image()->Width() == kLargeHeight; }));
    harness::PumpMessages();
    EXPECT_LE(RampError(view, downTurnedRight), 3.0) << "b.jpg turned";

    ShowWindow(f.Handle(), SW_RESTORE);
    harness::PumpMessages();
    EXPECT_LE(RampError(view, downTurnedRight), 3.0) << "b.jpg turned, restored";
    EXPECT_EQ(pictures.Stats().nBetweens, nMade) << "the turn and the resize reuse the go-between";
}

// The image view as a real child window on the virtual display, driven with
// posted mouse messages: its reports to the owner, its painting, the
// inverted outline read back from the screen, its cursors and border.
#include "TestHost.h"

#include "harness/Gui.h"
#include "resources/CursorIds.h"
#include "settings/Properties.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

uint32_t ButtonFace() {
    const COLORREF c = GetSysColor(COLOR_BTNFACE);
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

HCURSOR ProgramCursor(int id) { return LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)); }

// Every pixel of the outline of `box` (as the platform's one-pixel rectangle
// covers it: right and bottom exclusive) is inverted, every other pixel is
// as it was. Returns the number of pixels that break this.
int OutlineMismatches(const Pixels& before, const Pixels& after, const TRect& box) {
    int mismatches = 0;
    for (int y = 0; y < before.height; ++y)
        for (int x = 0; x < before.width; ++x) {
            const bool inside = x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom;
            const bool border =
                inside && (x == box.Left || x == box.Right - 1 || y == box.Top || y == box.Bottom - 1);
            const uint32_t expected = border ? (~before.At(x, y) & 0x00FFFFFF) : before.At(x, y);
            if (after.At(x, y) != expected)
                ++mismatches;
        }
    return mismatches;
}

int DifferentPixels(const Pixels& a, const Pixels& b) {
    int n = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i)
        n += a.rgb[i] != b.rgb[i];
    return n;
}

class ImageCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Keep the real pointer away from the windows, so that no real mouse
        // move reaches the view while a test drives it.
        SetCursorPos(1270, 1015);
        settings.m_nMaxWidth = 800;
        settings.m_nMaxHeight = 600;
        settings.m_bSnapRatio = false;
        settings.m_bPrevRect = false;
        settings.m_bMaxSize = true;
        settings.m_bEnlargement = false;
    }

    void Open(int clientWidth, int clientHeight) {
        ASSERT_TRUE(host.Create(clientWidth, clientHeight));
        // The cursor list as the main window fills it.
        cursors.Register(crMove, LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CURSOR_MOVE)));
        cursors.Register(crCrop, LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CURSOR_CROP)));
        host.view.SetCursorList(&cursors);
        host.view.SetProperties(&settings);
        view = host.view.Handle();
        RECT client{};
        GetClientRect(view, &client);
        ASSERT_EQ(client.right, clientWidth);
        ASSERT_EQ(client.bottom, clientHeight);
    }

    void Show(int w, int h) {
        host.view.SetBitmap(MakePicture(w, h));
        harness::PumpMessages();
    }

    const TStatusData& Last() const { return host.reports.back(); }

    // SNAPWELL_VIEW_HOLD_MS keeps the window on screen for a screenshot.
    void HoldForScreenshot() {
        if (const char* hold = std::getenv("SNAPWELL_VIEW_HOLD_MS")) {
            const DWORD until = GetTickCount() + static_cast<DWORD>(std::atoi(hold));
            harness::PumpUntil([&] { return GetTickCount() >= until; }, static_cast<DWORD>(std::atoi(hold)) + 1000);
        }
    }

    TProperties settings{"", ""};
    ui::TCursorList cursors;
    TestHost host;
    HWND view = nullptr;
};

} // namespace

TEST_F(ImageCtrlTest, CursorsComeFromTheProgramsResources) {
    Open(400, 300);
    // The constructor's cursor is the crop tool.
    EXPECT_EQ(host.view.CurrentCursor(), ProgramCursor(IDR_CURSOR_CROP));
    struct Expected {
        int id;
        DWORD hotX, hotY;
    };
    for (const Expected& k : {Expected{IDR_CURSOR_MOVE, 7, 20}, Expected{IDR_CURSOR_CROP, 5, 5}}) {
        HCURSOR cursor = ProgramCursor(k.id);
        ASSERT_NE(cursor, nullptr) << k.id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info)) << k.id;
        ui::UniqueBitmap mask(info.hbmMask);
        ui::UniqueBitmap colour(info.hbmColor);
        EXPECT_FALSE(info.fIcon) << k.id;
        EXPECT_EQ(info.xHotspot, k.hotX) << k.id;
        EXPECT_EQ(info.yHotspot, k.hotY) << k.id;
        // Monochrome: no colour bitmap, and a mask of AND over XOR, 32 x 64.
        EXPECT_FALSE(colour) << k.id;
        BITMAP bm{};
        ASSERT_TRUE(GetObjectA(mask.Get(), sizeof bm, &bm));
        EXPECT_EQ(bm.bmWidth, 32) << k.id;
        EXPECT_EQ(bm.bmHeight, 64) << k.id;
        EXPECT_EQ(bm.bmBitsPixel, 1) << k.id;
        // The hot spot lies on the drawing, not on a transparent pixel.
        HDC screen = GetDC(nullptr);
        ui::UniqueMemoryDC memory(screen);
        ReleaseDC(nullptr, screen);
        ui::ScopedSelect select(memory.Get(), mask.Get());
        EXPECT_EQ(GetPixel(memory.Get(), static_cast<int>(k.hotX), static_cast<int>(k.hotY)) & 0xFFFFFF, 0u)
            << k.id;
    }
}

TEST_F(ImageCtrlTest, ShowNotificationGivesAFlatBorderAndMargins) {
    Open(400, 300);
    EXPECT_TRUE(GetWindowLongPtrA(view, GWL_STYLE) & WS_BORDER);
    EXPECT_FALSE(GetWindowLongPtrA(view, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(host.view.AlignWithMargins());
    const ui::TMargins& m = host.view.Margins();
    EXPECT_EQ(m.Left, 4);
    EXPECT_EQ(m.Top, 4);
    EXPECT_EQ(m.Right, 4);
    EXPECT_EQ(m.Bottom, 4);
    // A one-pixel line and a 3-pixel band in the parent's colour on each side.
    RECT window{}, client{};
    GetWindowRect(view, &window);
    GetClientRect(view, &client);
    EXPECT_EQ((window.right - window.left) - client.right, 8);
    EXPECT_EQ((window.bottom - window.top) - client.bottom, 8);
    RedrawWindow(host.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    harness::PumpMessages();
    const Pixels around = CapturePixels(host.Handle());
    const int left = 4; // the view's window starts at (4, 4) in the host
    EXPECT_NE(around.At(left, 100), ButtonFace());
    for (int d = 1; d <= 3; ++d)
        EXPECT_EQ(around.At(left + d, 100), ButtonFace()) << d;
}

TEST_F(ImageCtrlTest, NewPictureIsPaintedAndReportedAtOnce) {
    settings.m_bPrevRect = true; // no box yet: nothing to carry
    Open(780, 586);
    host.view.SetBitmap(MakePicture(760, 566));
    // Sent, not posted: the report is in before SetBitmap returns.
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_TRUE(host.pictureAtReport[0]);
    EXPECT_TRUE(host.view.HasPicture());
    EXPECT_EQ(host.reports[0].SourceWidth, 760);
    EXPECT_EQ(host.reports[0].SourceHeight, 566);
    EXPECT_EQ(host.reports[0].Crop, (TRect{0, 0, 0, 0}));
    EXPECT_EQ(host.reports[0].CopySize, (TSize{760, 566}));

    // 760 x 566 fits one to one at (10, 10)-(770, 576), the margin around it.
    harness::PumpMessages();
    const Pixels screen = CapturePixels(view);
    int wrong = 0;
    for (int y = 0; y < 566; y += 5)
        for (int x = 0; x < 760; x += 3)
            wrong += screen.At(10 + x, 10 + y) != Pattern(x, y);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(screen.At(769, 575), Pattern(759, 565));
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{9, 300}, std::pair{770, 300}, std::pair{400, 576},
                               std::pair{779, 585}})
        EXPECT_EQ(screen.At(x, y), ButtonFace()) << x << ", " << y;
}

TEST_F(ImageCtrlTest, OutlineDrawnTwiceLeavesThePixelsAsTheyWere) {
    Open(780, 586);
    Show(760, 566); // one to one at (10, 10)
    const Pixels before = CapturePixels(view);

    Hover(view, 100, 100);
    PostMouse(view, WM_LBUTTONDOWN, 100, 100, MK_LBUTTON);
    PostMouse(view, WM_MOUSEMOVE, 200, 150, MK_LBUTTON);
    EXPECT_EQ(OutlineMismatches(before, CapturePixels(view), {100, 100, 200, 150}), 0);
    PostMouse(view, WM_MOUSEMOVE, 300, 250, MK_LBUTTON);
    PostMouse(view, WM_LBUTTONUP, 300, 250);
    const Pixels withBox = CapturePixels(view);
    EXPECT_EQ(OutlineMismatches(before, withBox, {100, 100, 300, 250}), 0);

    // A repaint wipes the outline and draws it once again, not twice.
    InvalidateRect(view, nullptr, FALSE);
    UpdateWindow(view);
    EXPECT_EQ(DifferentPixels(withBox, CapturePixels(view)), 0);

    // Moving it: erased at the old place, drawn at the new one.
    Drag(view, 150, 150, 190, 170);
    EXPECT_EQ(OutlineMismatches(before, CapturePixels(view), {140, 120, 340, 270}), 0);

    // A click beside the box removes it: the screen is exactly as before.
    Click(view, 600, 500);
    EXPECT_FALSE(host.view.CropBox().HasBox());
    EXPECT_EQ(DifferentPixels(before, CapturePixels(view)), 0);
}

// The drag of the rules' own test, replayed as real mouse messages: a 1600 x
// 1200 picture at half size in (10, 10)-(810, 610), maximum 800 x 600 active.
TEST_F(ImageCtrlTest, DragMoveResizeAndClickReportEachStep) {
    Open(820, 620);
    Show(1600, 1200);
    ASSERT_EQ(host.reports.size(), 1u);
    const HCURSOR moveCursor = ProgramCursor(IDR_CURSOR_MOVE);
    const HCURSOR cropCursor = ProgramCursor(IDR_CURSOR_CROP);

    struct Step {
        const char* what;
        UINT msg;
        int x, y;
        TRect crop;
        TSize copy;
        HCURSOR cursor; // after a hover; null: not checked
    };
    const Step steps[] = {
        {"hover without box", WM_MOUSEMOVE, 300, 200, {0, 0, 0, 0}, {800, 600}, cropCursor},
        {"press", WM_LBUTTONDOWN, 300, 200, {}, {}, nullptr},
        {"drag open", WM_MOUSEMOVE, 400, 300, {580, 380, 780, 580}, {200, 200}, nullptr},
        {"drag past the picture", WM_MOUSEMOVE, 900, 700, {580, 380, 1600, 1200}, {747, 600}, nullptr},
        {"release", WM_LBUTTONUP, 900, 700, {}, {}, nullptr},
        {"hover inside", WM_MOUSEMOVE, 500, 400, {580, 380, 1600, 1200}, {747, 600}, moveCursor},
        {"press inside", WM_LBUTTONDOWN, 500, 400, {}, {}, nullptr},
        {"move", WM_MOUSEMOVE, 450, 380, {480, 340, 1500, 1160}, {747, 600}, nullptr},
        {"stopped at the left edge", WM_MOUSEMOVE, -20, 370, {480, 320, 1500, 1140}, {747, 600}, nullptr},
        {"follows from where it stopped", WM_MOUSEMOVE, -10, 370, {500, 320, 1520, 1140}, {747, 600}, nullptr},
        {"release the move", WM_LBUTTONUP, -10, 370, {}, {}, nullptr},
        // The box is now (260, 170)-(770, 580).
        {"hover on the bottom-right corner", WM_MOUSEMOVE, 770, 580, {500, 320, 1520, 1140}, {747, 600},
         LoadCursor(nullptr, IDC_SIZENWSE)},
        {"press the corner", WM_LBUTTONDOWN, 770, 580, {}, {}, nullptr},
        // 880 x 660 picture pixels shrink to 800 x MulDiv(660, 800, 880) = 600.
        {"resize", WM_MOUSEMOVE, 700, 500, {500, 320, 1380, 980}, {800, 600}, nullptr},
        {"release the resize", WM_LBUTTONUP, 700, 500, {}, {}, nullptr},
        {"hover on the left edge", WM_MOUSEMOVE, 261, 300, {500, 320, 1380, 980}, {800, 600},
         LoadCursor(nullptr, IDC_SIZEWE)},
        {"hover outside", WM_MOUSEMOVE, 790, 20, {500, 320, 1380, 980}, {800, 600}, cropCursor},
    };
    for (const auto& s : steps) {
        const size_t reports = host.reports.size();
        const bool held = s.msg == WM_LBUTTONDOWN || (s.msg == WM_MOUSEMOVE && host.view.CropBox().Tracking());
        PostMouse(view, s.msg, s.x, s.y, held ? MK_LBUTTON : 0);
        if (s.msg != WM_MOUSEMOVE) {
            EXPECT_EQ(host.reports.size(), reports) << s.what; // button messages report nothing
            continue;
        }
        ASSERT_EQ(host.reports.size(), reports + 1) << s.what;
        EXPECT_EQ(Last().Crop, s.crop) << s.what;
        EXPECT_EQ(Last().CopySize, s.copy) << s.what;
        EXPECT_EQ(Last().SourceWidth, 1600) << s.what;
        EXPECT_EQ(Last().SourceHeight, 1200) << s.what;
        if (s.cursor) {
            EXPECT_EQ(host.view.CurrentCursor(), s.cursor) << s.what;
        }
    }
    // What Copy Image would be given agrees with the last report.
    TRect crop;
    EXPECT_EQ(host.view.GetCropGeometry(crop, true), (TSize{800, 600}));
    EXPECT_EQ(crop, (TRect{500, 320, 1380, 980}));
    HoldForScreenshot();

    Click(view, 790, 20);
    Hover(view, 790, 20);
    EXPECT_EQ(Last().Crop, (TRect{0, 0, 0, 0}));
    EXPECT_EQ(Last().CopySize, (TSize{800, 600}));
}

TEST_F(ImageCtrlTest, SetCursorShowsTheViewsCursor) {
    Open(820, 620);
    Show(800, 600);
    Drag(view, 100, 100, 300, 250);
    Hover(view, 200, 200);
    ASSERT_EQ(host.view.CurrentCursor(), ProgramCursor(IDR_CURSOR_MOVE));
    EXPECT_TRUE(SendMessageA(view, WM_SETCURSOR, reinterpret_cast<WPARAM>(view), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), ProgramCursor(IDR_CURSOR_MOVE));
    // Over no box and no picture: the default cursor.
    host.view.Clear();
    Hover(view, 600, 500);
    EXPECT_EQ(host.view.CurrentCursor(), LoadCursor(nullptr, IDC_ARROW));
}

// 800 x 600 rotated to 600 x 800 in a 700 x 586 view, maximum 800 x 600, snap
// and previous rectangle on: the report after the carry-over is what Copy
// Image writes (not crop (0, 133, 541, 635) with copy 541 x 502).
TEST_F(ImageCtrlTest, BoxCarriedOverToTheRotatedPicture) {
    settings.m_bSnapRatio = true;
    settings.m_bPrevRect = true;
    Open(700, 586);
    Show(800, 600);
    Drag(view, 47, 104, 520, 459);
    ASSERT_EQ(host.view.CropBox().Corner1(), (TPoint{47, 104}));
    ASSERT_EQ(host.view.CropBox().Corner2(), (TPoint{520, 459}));

    const size_t reports = host.reports.size();
    Show(600, 800);
    ASSERT_EQ(host.reports.size(), reports + 1);
    EXPECT_EQ(Last().SourceWidth, 600);
    EXPECT_EQ(Last().SourceHeight, 800);
    EXPECT_EQ(Last().Crop, (TRect{0, 133, 541, 539}));
    EXPECT_EQ(Last().CopySize, (TSize{541, 406}));
    TRect crop;
    EXPECT_EQ(host.view.GetCropGeometry(crop, true), (TSize{541, 406}));
    EXPECT_EQ(crop, (TRect{0, 133, 541, 539}));
    // The box keeps its place on screen, cut to the rotated picture at x 137.
    EXPECT_EQ(host.view.CropBox().Corner1(), (TPoint{137, 104}));
    EXPECT_EQ(host.view.CropBox().DrawnCorner2(), host.view.CropBox().Corner2());
}

TEST_F(ImageCtrlTest, ResizeReplacesTheBoxOverTheRefittedPicture) {
    Open(820, 620);
    Show(800, 600);
    Drag(view, 110, 60, 310, 260);
    const size_t reports = host.reports.size();
    host.SetViewClientSize(420, 320); // half size at (10, 10)-(410, 310)
    harness::PumpMessages();
    EXPECT_EQ(host.view.CropBox().Corner1(), (TPoint{60, 35}));
    EXPECT_EQ(host.view.CropBox().Corner2(), (TPoint{160, 135}));
    TRect crop;
    const TSize copy = host.view.GetCropGeometry(crop, true);
    EXPECT_EQ(crop, (TRect{100, 50, 300, 250}));
    // The resize was reported, with what Copy Image now writes.
    ASSERT_GT(host.reports.size(), reports);
    EXPECT_EQ(Last().Crop, crop);
    EXPECT_EQ(Last().CopySize, copy);
    // On screen the outline is where the box is: removing it inverts exactly those pixels back.
    const Pixels withBox = CapturePixels(view);
    Click(view, 400, 300);
    EXPECT_EQ(OutlineMismatches(CapturePixels(view), withBox, {60, 35, 160, 135}), 0);
}

TEST_F(ImageCtrlTest, ClearRemovesPictureAndBoxWithoutReporting) {
    Open(820, 620);
    Show(800, 600);
    Drag(view, 110, 60, 310, 260);
    const size_t reports = host.reports.size();
    host.view.Clear();
    harness::PumpMessages();
    EXPECT_EQ(host.reports.size(), reports);
    EXPECT_FALSE(host.view.HasPicture());
    EXPECT_FALSE(host.view.CropBox().HasBox());
    const Pixels screen = CapturePixels(view);
    int notBackground = 0;
    for (uint32_t v : screen.rgb)
        notBackground += v != ButtonFace();
    EXPECT_EQ(notBackground, 0);
    // The picture's size stays what it was.
    Hover(view, 700, 500);
    EXPECT_EQ(Last().SourceWidth, 800);
    EXPECT_FALSE(host.pictureAtReport.back());
}

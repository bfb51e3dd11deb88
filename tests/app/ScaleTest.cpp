// The real main window at 150 %: its prefix says 144 DPI before the test
// process starts (the scale_session fixture), so the window is laid out at
// that scale from its first show; a scale change to 200 % then lays it out
// again. Every size follows the scale and no two controls overlap.
#include "MainWindowSession.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

RECT ScreenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

int Width(HWND window) {
    const RECT r = ScreenRect(window);
    return r.right - r.left;
}

int Height(HWND window) {
    const RECT r = ScreenRect(window);
    return r.bottom - r.top;
}

// The visible children of `parent` lie inside its client area and none
// covers another.
void ExpectNoOverlap(HWND parent) {
    RECT client{};
    GetClientRect(parent, &client);
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c))
            children.push_back(c);
    ASSERT_GE(children.size(), 2u);
    for (size_t i = 0; i < children.size(); ++i) {
        const RECT a = ScreenRect(children[i]);
        RECT inside{};
        IntersectRect(&inside, &a, &client);
        EXPECT_TRUE(EqualRect(&inside, &a)) << "child " << i << " leaves its parent";
        for (size_t j = i + 1; j < children.size(); ++j) {
            const RECT b = ScreenRect(children[j]);
            RECT both{};
            EXPECT_FALSE(IntersectRect(&both, &a, &b)) << "children " << i << " and " << j << " overlap";
        }
    }
}

} // namespace

TEST(Scale, MainWindowLaidOutForItsScaleAndAgainWhenItChanges) {
    MainWindowSession s;
    s.AddPicture("jpeg_baseline_420.jpg", "a.jpg");
    TfrmMain& f = s.Start();
    ASSERT_TRUE(f.Initialised());
    ASSERT_EQ(f.Dpi(), 144) << "the prefix's LogPixels did not reach the window";
    s.Select("a.jpg");
    ASSERT_TRUE(f.ImageCtrl()->HasPicture());

    struct Expected {
        int dpi, button, glyph, lead, status, list, splitter, viewMargin, pictureMargin;
    };
    // 36-pixel tool buttons, 16-pixel glyphs, the tool bar's 12-pixel lead,
    // a 19-pixel status bar, the list pane at its 120-pixel minimum and an
    // 8-pixel splitter, the view's 4-pixel margins and the 10 pixels around
    // the picture, at 150 % and then 200 %.
    for (const Expected& e :
         {Expected{144, 54, 24, 18, 29, 180, 12, 6, 15}, Expected{192, 72, 32, 24, 38, 240, 16, 8, 20}}) {
        if (e.dpi != f.Dpi()) {
            RECT suggested = ScreenRect(f.Handle());
            SendMessageA(f.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(e.dpi, e.dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            ASSERT_EQ(f.Dpi(), e.dpi);
        }
        SCOPED_TRACE(e.dpi);
        EXPECT_EQ(HIWORD(SendMessageA(f.ToolBar(), TB_GETBUTTONSIZE, 0, 0)), e.button);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageA(f.ToolBar(), TB_GETIMAGELIST, 0, 0)),
                              &cx, &cy);
        EXPECT_EQ(cx, e.glyph);
        RECT lead{};
        SendMessageA(f.ToolBar(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&lead));
        EXPECT_EQ(lead.right - lead.left, e.lead);
        EXPECT_EQ(Height(f.StatusBar()), e.status);
        EXPECT_EQ(Width(f.ListPanel()), e.list);
        HWND splitter = GetWindow(f.ListPanel(), GW_HWNDNEXT);
        while (splitter && Height(splitter) != Height(f.ListPanel()))
            splitter = GetWindow(splitter, GW_HWNDNEXT);
        ASSERT_NE(splitter, nullptr);
        EXPECT_EQ(Width(splitter), e.splitter);
        // The font grew with the scale: the folder button still sits
        // beside its label, and the tree's rows hold the glyphs.
        HWND strip = GetParent(f.SourceButton());
        EXPECT_GE(Height(f.SourceButton()), e.glyph);
        EXPECT_GE(static_cast<int>(SendMessageA(f.Tree(), TVM_GETITEMHEIGHT, 0, 0)), e.glyph);
        EXPECT_EQ(f.ImageCtrl()->Margins().Left, e.viewMargin);
        // The picture fits the view less its margin: it touches the margin
        // on one axis.
        const TDrawBox& placement = f.ImageCtrl()->CropBox().DrawBox();
        EXPECT_TRUE(placement.Left == e.pictureMargin || placement.Top == e.pictureMargin)
            << placement.Left << ", " << placement.Top;
        ExpectNoOverlap(f.Handle());
        ExpectNoOverlap(f.ListPanel());
        ExpectNoOverlap(strip);
        // The status panels end inside the bar.
        int edges[6] = {};
        ASSERT_EQ(SendMessageA(f.StatusBar(), SB_GETPARTS, 6, reinterpret_cast<LPARAM>(edges)), 6);
        RECT bar{};
        GetClientRect(f.StatusBar(), &bar);
        EXPECT_GT(edges[0], 0);
        EXPECT_LE(edges[5], bar.right);
    }
    s.Close();
}

// The ratio, maximum-size and enlargement rules: copy sizes, the whole
// picture without a box, snapping with its leading side, keeping a ratio box
// inside the picture, inverting the ratio and re-applying changed settings.
#include "view/CropBox.h"

#include "RecordingHost.h"

#include <gtest/gtest.h>

namespace {

TCropSettings Settings(int32_t maxW, int32_t maxH, bool snap, bool maxSize = true, bool enlarge = false) {
    TCropSettings s;
    s.m_nMaxWidth = maxW;
    s.m_nMaxHeight = maxH;
    s.m_bSnapRatio = snap;
    s.m_bMaxSize = maxSize;
    s.m_bEnlargement = enlarge;
    return s;
}

// An 800 x 600 picture shown one to one at (10, 10)-(810, 610).
void ShowOneToOne(HostedBox& hb) {
    hb.box.NewPicture(800, 600, 820, 620);
    ASSERT_EQ(static_cast<const TRect&>(hb.box.DrawBox()), (TRect{10, 10, 810, 610}));
}

void Drag(CCropBox& box, TPoint from, TPoint to) {
    box.MouseMove(from);
    box.ButtonDown(from);
    box.MouseMove(to);
    box.ButtonUp();
}

} // namespace

TEST(CropRules, CopySizeTable) {
    struct Case {
        const char* what;
        bool snap, enlarge, box;
        int32_t cw, ch;
        TSize expected;
    };
    const Case cases[] = {
        {"large crop with snap", true, false, true, 1600, 1200, {800, 600}},
        {"small crop keeps its size", true, false, true, 400, 300, {400, 300}},
        {"small crop enlarged with snap", true, true, true, 400, 300, {800, 600}},
        // a = MulDiv(600, 400, 200) = 1200 > 800, so the height is b = 400.
        {"enlarged without snap, wide", false, true, true, 400, 200, {800, 400}},
        // b = MulDiv(800, 400, 300) = 1067 > 600, so the width is a = 450.
        {"enlarged without snap, tall", false, true, true, 300, 400, {450, 600}},
        {"shrunk by width", false, false, true, 1000, 300, {800, 240}},
        {"reaching the width exactly stays", false, false, true, 800, 300, {800, 300}},
        // 1020 x 820: MulDiv(820, 800, 1020) = 643, then MulDiv(800, 600, 643) = 747.
        {"shrunk by width then height", false, false, true, 1020, 820, {747, 600}},
        {"shrunk by height", false, false, true, 500, 900, {333, 600}},
        // Reaching one side with snap gives the maximum exactly.
        {"reaching with snap", true, false, true, 800, 100, {800, 600}},
        // Without a box the snap rule does not apply.
        {"snap without box enlarges to fit", true, true, false, 400, 200, {800, 400}},
        {"snap without box shrinks to fit", true, false, false, 1000, 300, {800, 240}},
        {"small crop without enlargement", false, false, true, 799, 599, {799, 599}},
    };
    for (const auto& k : cases) {
        HostedBox hb(Settings(800, 600, k.snap, true, k.enlarge));
        if (k.box)
            hb.box.SetCorners({10, 10}, {20, 20});
        EXPECT_EQ(hb.box.CopySizeFor(k.cw, k.ch), k.expected) << k.what;
    }
}

TEST(CropRules, WholePictureWithoutBox) {
    struct Case {
        const char* what;
        TCropSettings settings;
        int32_t w, h;
        TSize expected;
    };
    const Case cases[] = {
        {"shrunk to the maximum", Settings(800, 600, true), 4000, 3000, {800, 600}},
        {"never enlarged", Settings(800, 600, true, true, true), 640, 480, {640, 480}},
        // MulDiv(3000, 800, 1000) = 2400, then MulDiv(800, 600, 2400) = 200.
        {"portrait shrunk by both steps", Settings(800, 600, false), 1000, 3000, {200, 600}},
        {"maximum switched off", Settings(800, 600, true, false), 4000, 3000, {4000, 3000}},
        {"maximum not set", Settings(0, 600, true), 4000, 3000, {4000, 3000}},
        {"negative maximum", Settings(800, -1, true), 4000, 3000, {4000, 3000}},
    };
    for (const auto& k : cases) {
        HostedBox hb(k.settings);
        hb.box.NewPicture(k.w, k.h, 820, 620);
        TRect crop{5, 5, 5, 5};
        EXPECT_EQ(hb.box.GetCropGeometry(crop, true), k.expected) << k.what;
        EXPECT_EQ(crop, (TRect{0, 0, 0, 0})) << k.what;
    }
}

TEST(CropRules, SnapOnReleaseLeadsWithTheLongerSide) {
    struct Case {
        TPoint from, to;
        TPoint corner1, corner2;
        TRect crop;
    };
    const Case cases[] = {
        // 200 x 100: the width leads, height MulDiv(200, 600, 800) = 150.
        {{100, 100}, {300, 200}, {100, 100}, {300, 250}, {90, 90, 290, 240}},
        // 100 x 200: the height leads, width MulDiv(200, 800, 600) = 267.
        {{100, 100}, {200, 300}, {100, 100}, {367, 300}, {90, 90, 357, 290}},
        // Square: the width leads.
        {{100, 100}, {200, 200}, {100, 100}, {200, 175}, {90, 90, 190, 165}},
        // Dragged up and left: sorted first, corner 1 is the top-left.
        {{300, 200}, {100, 100}, {100, 100}, {300, 250}, {90, 90, 290, 240}},
    };
    for (const auto& k : cases) {
        HostedBox hb(Settings(800, 600, true));
        ShowOneToOne(hb);
        Drag(hb.box, k.from, k.to);
        EXPECT_EQ(hb.box.Corner1(), k.corner1);
        EXPECT_EQ(hb.box.Corner2(), k.corner2);
        EXPECT_EQ(hb.box.Crop(), k.crop);
        EXPECT_EQ(hb.box.CopySize(), (TSize{k.crop.Width(), k.crop.Height()}));
    }
}

TEST(CropRules, DraggedEdgeLeads) {
    struct Case {
        const char* what;
        TPoint corner1, corner2, grip, to;
        TPoint expected1, expected2;
    };
    const Case cases[] = {
        // A tall box by its left edge: the width leads, MulDiv(110, 600, 800) = 83.
        {"left edge of a tall box", {100, 100}, {200, 400}, {100, 250}, {90, 250}, {90, 100}, {200, 183}},
        // A wide box by its top edge: the height leads, MulDiv(110, 800, 600) = 147.
        {"top edge of a wide box", {100, 100}, {500, 200}, {300, 100}, {300, 90}, {100, 90}, {247, 200}},
        // A corner: the longer side leads.
        {"bottom-right corner", {100, 100}, {500, 200}, {500, 200}, {520, 210}, {100, 100}, {520, 415}},
    };
    for (const auto& k : cases) {
        HostedBox hb(Settings(800, 600, true));
        ShowOneToOne(hb);
        hb.box.SetCorners(k.corner1, k.corner2);
        Drag(hb.box, k.grip, k.to);
        EXPECT_EQ(hb.box.Corner1(), k.expected1) << k.what;
        EXPECT_EQ(hb.box.Corner2(), k.expected2) << k.what;
    }
}

TEST(CropRules, SnapKeepsTheBoxInsideThePicture) {
    struct Case {
        const char* what;
        int32_t w, h;
        TPoint corner1, corner2;
        TPoint expected1, expected2;
    };
    const Case cases[] = {
        // Height 300 would end at 800: moved up to end on the bottom edge.
        {"moved up", 800, 600, {100, 500}, {500, 560}, {100, 310}, {500, 610}},
        // Picture 800 x 300 at (10, 160)-(810, 460); height 375 is taller than
        // the picture: full height, width MulDiv(300, 800, 600) = 400.
        {"full height", 800, 300, {300, 200}, {800, 260}, {300, 160}, {700, 460}},
        {"already inside", 800, 600, {100, 100}, {500, 400}, {100, 100}, {500, 400}},
    };
    for (const auto& k : cases) {
        HostedBox hb(Settings(800, 600, true));
        hb.box.NewPicture(k.w, k.h, 820, 620);
        hb.box.SetCorners(k.corner1, k.corner2);
        hb.box.SnapToRatio(false);
        EXPECT_EQ(hb.box.Corner1(), k.expected1) << k.what;
        EXPECT_EQ(hb.box.Corner2(), k.expected2) << k.what;
    }
}

TEST(CropRules, KeepRatioInsideTestsOnlyTheFarSides) {
    struct Case {
        const char* what;
        int32_t ratioW, ratioH;
        TRect candidate, expected;
        TPoint corner1, corner2;
    };
    // Picture 800 x 300 at (10, 160)-(810, 460), corner 1 at (600, 200).
    const Case cases[] = {
        // Full height gives width 400 from x 600: then moved left to end at 810.
        {"full height then moved left", 800, 600, {600, 200, 700, 600}, {410, 160, 810, 460}, {410, 160}, {810, 460}},
        // 10 : 1 at full height is 3000 wide: full width, height MulDiv(800, 300, 3000) = 80.
        {"full width after full height", 3000, 300, {600, 200, 700, 600}, {10, 160, 810, 240}, {10, 160}, {810, 240}},
        {"past the right only", 800, 600, {600, 200, 900, 300}, {510, 200, 810, 300}, {510, 200}, {810, 300}},
        // Above the top or left of the picture is not tested.
        {"never shifted down", 800, 600, {600, 100, 700, 200}, {600, 100, 700, 200}, {600, 100}, {700, 200}},
    };
    for (const auto& k : cases) {
        HostedBox hb(Settings(k.ratioW, k.ratioH, true));
        hb.box.NewPicture(800, 300, 820, 620);
        hb.box.SetCorners({600, 200}, {650, 250});
        EXPECT_EQ(hb.box.KeepRatioInside(k.candidate), k.expected) << k.what;
        EXPECT_EQ(hb.box.Corner1(), k.corner1) << k.what;
        EXPECT_EQ(hb.box.Corner2(), k.corner2) << k.what;
    }
}

TEST(CropRules, SnapNeedsAPositiveRatioAndABox) {
    for (const auto& settings : {Settings(0, 600, true), Settings(800, 0, true), Settings(-800, 600, true)}) {
        HostedBox hb(settings);
        ShowOneToOne(hb);
        hb.box.SetCorners({300, 250}, {100, 100});
        const size_t reports = hb.host.reports.size();
        hb.box.SnapToRatio(true);
        // Sorted, not snapped, not reported.
        EXPECT_EQ(hb.box.Corner1(), (TPoint{100, 100}));
        EXPECT_EQ(hb.box.Corner2(), (TPoint{300, 250}));
        EXPECT_EQ(hb.host.reports.size(), reports);
    }
}

TEST(CropRules, InvertRatioTurnsTheBoxWithSnap) {
    struct Case {
        const char* what;
        TPoint corner1, corner2, expected1, expected2;
    };
    const Case cases[] = {
        {"turned about corner 1", {100, 100}, {500, 400}, {100, 100}, {400, 500}},
        // Turned, it would end at y 700: moved up first.
        {"moved up after turning", {100, 300}, {500, 600}, {100, 210}, {400, 610}},
    };
    for (const auto& k : cases) {
        HostedBox hb(Settings(800, 600, true));
        ShowOneToOne(hb);
        hb.box.SetCorners(k.corner1, k.corner2);
        hb.box.MouseMove({k.corner1.X, k.corner1.Y + 50}); // hover on the left edge
        // The main window swaps the maximum and re-attaches the settings first.
        hb.box.UseSettings(Settings(600, 800, true));
        hb.box.TakeRatio();
        const size_t reports = hb.host.reports.size();
        hb.box.InvertRatio();
        EXPECT_EQ(hb.box.HitCode(), hitNone) << k.what;
        EXPECT_EQ(hb.box.Corner1(), k.expected1) << k.what;
        EXPECT_EQ(hb.box.Corner2(), k.expected2) << k.what;
        ASSERT_EQ(hb.host.reports.size(), reports + 2) << k.what;
        const TRect expectedCrop{k.expected1.X - 10, k.expected1.Y - 10, k.expected2.X - 10, k.expected2.Y - 10};
        for (size_t i = reports; i < hb.host.reports.size(); ++i) {
            EXPECT_EQ(hb.host.reports[i].Crop, expectedCrop) << k.what;
            EXPECT_EQ(hb.host.reports[i].CopySize, (TSize{300, 400})) << k.what;
        }
        EXPECT_EQ(hb.host.OnScreen().size(), 1u);
        EXPECT_EQ(hb.box.DrawnCorner2(), k.expected2);
    }
}

TEST(CropRules, InvertRatioWithoutSnapFollowsTheSwappedMaximum) {
    // 1600 x 1200 shown at half size; the crop is 1000 x 300.
    for (bool maxSize : {true, false}) {
        HostedBox hb(Settings(800, 600, false, maxSize));
        hb.box.NewPicture(1600, 1200, 820, 620);
        hb.box.SetCorners({10, 10}, {510, 160});
        TRect crop;
        EXPECT_EQ(hb.box.GetCropGeometry(crop, true), (maxSize ? TSize{800, 240} : TSize{1000, 300}));
        hb.box.UseSettings(Settings(600, 800, false, maxSize));
        hb.box.TakeRatio();
        hb.box.InvertRatio();
        EXPECT_EQ(hb.box.Corner2(), (TPoint{510, 160})); // the box is not turned
        ASSERT_FALSE(hb.host.reports.empty());
        // MulDiv(300, 600, 1000) = 180.
        EXPECT_EQ(hb.host.LastReport().CopySize, (maxSize ? TSize{600, 180} : TSize{1000, 300}));
        EXPECT_EQ(hb.host.LastReport().Crop, (TRect{0, 0, 1000, 300}));
    }
}

TEST(CropRules, PropertiesChangedSnapsWithoutRedrawing) {
    HostedBox hb(Settings(800, 600, false));
    ShowOneToOne(hb);
    Drag(hb.box, {100, 100}, {300, 200});
    ASSERT_EQ(hb.box.Corner2(), (TPoint{300, 200}));

    // "Snap Ratio" switched on: the rules are re-applied, then snapped with a redraw.
    hb.box.UseSettings(Settings(800, 600, true));
    hb.box.TakeRatio();
    hb.box.PropertiesChanged();
    EXPECT_EQ(hb.box.Corner2(), (TPoint{300, 250}));
    EXPECT_EQ(hb.box.DrawnCorner2(), (TPoint{300, 200})); // the old outline is still on screen
    EXPECT_EQ(hb.host.LastReport().Crop, (TRect{90, 90, 290, 240}));
    EXPECT_EQ(hb.host.LastReport().CopySize, (TSize{200, 150}));
    hb.box.SnapToRatio(true);
    EXPECT_EQ(hb.box.DrawnCorner2(), (TPoint{300, 250}));
    EXPECT_EQ(hb.host.OnScreen().size(), 1u);

    // "Enlargement" switched on: the copy grows to the maximum.
    hb.box.UseSettings(Settings(800, 600, true, true, true));
    hb.box.PropertiesChanged();
    EXPECT_EQ(hb.host.LastReport().CopySize, (TSize{800, 600}));
    // "Max Size" switched off: the copy is the crop's own size.
    hb.box.UseSettings(Settings(800, 600, true, false, false));
    hb.box.PropertiesChanged();
    EXPECT_EQ(hb.host.LastReport().CopySize, (TSize{200, 150}));
}

TEST(CropRules, MovingKeepsTheCopySizeWhileTheMaximumIsActive) {
    HostedBox hb(Settings(800, 600, true));
    hb.box.NewPicture(1600, 1200, 820, 620);
    Drag(hb.box, {100, 100}, {300, 200}); // snapped to 200 x 150 on screen, 400 x 300 copied
    ASSERT_EQ(hb.box.CopySize(), (TSize{400, 300}));
    hb.box.MouseMove({200, 150});
    ASSERT_EQ(hb.box.HitCode(), hitInside);
    hb.box.ButtonDown({200, 150});
    for (TPoint p : {TPoint{250, 170}, TPoint{700, 600}, TPoint{0, 0}, TPoint{333, 333}}) {
        hb.box.MouseMove(p);
        EXPECT_EQ(hb.host.LastReport().CopySize, (TSize{400, 300}));
        EXPECT_EQ(hb.host.LastReport().Crop.Width(), 400);
        EXPECT_EQ(hb.host.LastReport().Crop.Height(), 300);
    }
    hb.box.ButtonUp();
    EXPECT_EQ(hb.box.CopySize(), (TSize{400, 300}));
}

// Ratios as extreme as the properties dialog allows (999999 : 1) over a tall
// or wide box: the new side does not fit 32 bits, and the box must still come
// out as the rule says (full width or height, the other side from the ratio)
// instead of inside out. Found by the crop box fuzzer.
TEST(CropRules, ExtremeRatiosNeverTurnTheBoxInsideOut) {
    struct Case {
        const char* what;
        int32_t ratioW, ratioH, w, h, W, H;
        TPoint corner1, corner2, expected1, expected2;
    };
    const Case cases[] = {
        // Placement (50, 10)-(150, 3010); 2800 high at 999999 : 1 is far wider
        // than the picture: full width, height MulDiv(100, 1, 999999) = 0.
        {"height leads", 999999, 1, 100, 3000, 200, 3020, {60, 100}, {70, 2900}, {50, 100}, {150, 100}},
        // Placement (10, 50)-(3010, 150); the same turned.
        {"width leads", 1, 999999, 3000, 100, 3020, 200, {100, 60}, {2900, 70}, {100, 50}, {100, 150}},
    };
    for (const auto& k : cases) {
        HostedBox hb(Settings(k.ratioW, k.ratioH, true));
        hb.box.NewPicture(k.w, k.h, k.W, k.H);
        hb.box.SetCorners(k.corner1, k.corner2);
        hb.box.SnapToRatio(false);
        EXPECT_EQ(hb.box.Corner1(), k.expected1) << k.what;
        EXPECT_EQ(hb.box.Corner2(), k.expected2) << k.what;
    }
    // Enlarging a 3000 x 1 crop to 999999 x 999999: the width at full height
    // does not fit 32 bits, so the height follows the full width.
    HostedBox hb(Settings(999999, 999999, false, true, true));
    hb.box.SetCorners({10, 10}, {20, 20});
    EXPECT_EQ(hb.box.CopySizeFor(3000, 1), (TSize{999999, 333}));
}

// The crop box's hit test and drag state machine without a window: bands and
// corners, new boxes, edge and corner drags, moves stopped at the picture's
// edge, clicks that remove the box, and the outline bookkeeping (what is
// inverted on screen is exactly the drawn outline, or nothing).
#include "view/CropBox.h"

#include "RecordingHost.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TCropSettings Maximum(int32_t w, int32_t h, bool snap, bool maxSize = true, bool enlarge = false) {
    TCropSettings s;
    s.m_nMaxWidth = w;
    s.m_nMaxHeight = h;
    s.m_bSnapRatio = snap;
    s.m_bMaxSize = maxSize;
    s.m_bEnlargement = enlarge;
    return s;
}

// What is inverted on screen must be the drawn outline and nothing else.
void ExpectScreenMatchesOutline(const HostedBox& hb) {
    const auto onScreen = hb.host.OnScreen();
    if (hb.box.OutlineShown()) {
        ASSERT_EQ(onScreen.size(), 1u);
        EXPECT_EQ(onScreen[0], RecordingHost::Normalised(hb.box.DrawnCorner1(), hb.box.DrawnCorner2()));
    } else {
        EXPECT_TRUE(onScreen.empty());
    }
}

} // namespace

TEST(CropBox, StartsWithoutBoxAndUnplacedPoints) {
    HostedBox hb;
    EXPECT_FALSE(hb.box.HasBox());
    EXPECT_EQ(hb.box.Corner1(), (TPoint{-1, -1}));
    EXPECT_EQ(hb.box.DrawnCorner2(), (TPoint{-1, -1}));
    EXPECT_EQ(hb.box.HitCode(), hitNone);
    EXPECT_FALSE(hb.box.Tracking());
    EXPECT_FALSE(hb.box.OutlineShown());
}

struct HitCase {
    TPoint corner1, corner2, mouse;
    THitCode expected;
};

TEST(CropBox, HitTestTable) {
    const TPoint a{100, 100}, b{200, 150};
    const HitCase cases[] = {
        {a, b, {99, 120}, hitLeft},         // the left band is x 99 .. 104
        {a, b, {98, 120}, hitNone},
        {a, b, {104, 120}, hitLeft},
        {a, b, {99, 101}, hitTopLeft},
        {a, b, {104, 104}, hitLeft},        // not inside: the inside starts at 105
        {a, b, {103, 102}, hitTopLeft},
        {a, b, {100, 148}, hitBottomLeft},
        {a, b, {105, 105}, hitInside},
        {a, b, {195, 145}, hitInside},
        {a, b, {196, 120}, hitRight},       // the right band is x 196 .. 201
        {a, b, {201, 120}, hitRight},
        {a, b, {202, 120}, hitNone},
        {a, b, {199, 99}, hitTopRight},
        {a, b, {201, 151}, hitBottomRight},
        {a, b, {203, 152}, hitNone},
        {a, b, {150, 99}, hitTop},          // the top band is y 99 .. 104
        {a, b, {150, 104}, hitTop},
        {a, b, {150, 98}, hitNone},
        {a, b, {150, 151}, hitBottom},      // the bottom band is y 146 .. 151
        {a, b, {150, 146}, hitBottom},
        {a, b, {150, 152}, hitNone},
        {a, b, {204, 104}, hitTopRight},    // the top band runs on to x 204
        {a, b, {205, 104}, hitNone},
        {a, b, {204, 148}, hitBottomRight}, // and so does the bottom band
        {a, b, {203, 151}, hitBottomRight},
        {a, b, {150, 148}, hitBottom},
        {a, b, {102, 154}, hitBottomLeft},  // the left band runs down to y 154
        {a, b, {102, 155}, hitNone},
        {a, b, {150, 120}, hitInside},
        // The same box with its corners the other way round.
        {b, a, {99, 120}, hitLeft},
        {b, a, {201, 151}, hitBottomRight},
        // Under 10 pixels wide: no inside, the bands meet.
        {{100, 100}, {108, 150}, {104, 120}, hitLeft},
        {{100, 100}, {108, 150}, {105, 120}, hitRight},
        // No box (both corners at the origin): both corner tests hold, the later wins.
        {{0, 0}, {0, 0}, {2, 2}, hitBottomLeft},
        {{0, 0}, {0, 0}, {20, 20}, hitNone},
    };
    for (const auto& k : cases) {
        HostedBox hb;
        hb.box.SetCorners(k.corner1, k.corner2);
        EXPECT_EQ(hb.box.HitTest(k.mouse), k.expected) << "mouse (" << k.mouse.X << ", " << k.mouse.Y << ")";
    }
}

TEST(CropBox, HoverSetsHitCodeAndCursorAndReports) {
    HostedBox hb(Maximum(800, 600, false));
    hb.box.NewPicture(800, 600, 820, 620);
    hb.box.SetCorners({100, 100}, {200, 150});
    const std::pair<TPoint, THitCode> moves[] = {
        {{99, 120}, hitLeft}, {{150, 120}, hitInside}, {{150, 151}, hitBottom}, {{400, 400}, hitNone}};
    for (const auto& [p, hit] : moves) {
        const size_t reports = hb.host.reports.size();
        hb.box.MouseMove(p);
        EXPECT_EQ(hb.box.HitCode(), hit);
        EXPECT_EQ(hb.host.cursors.back(), hit);
        EXPECT_EQ(hb.host.reports.size(), reports + 1);
        EXPECT_FALSE(hb.box.Sizing());
    }
}

// A drag replayed step by step on a 1600 x 1200 picture shown at half size
// (placement (10, 10)-(810, 610)), maximum 800 x 600 active, snap off.
TEST(CropBox, DragMoveAndClickSequence) {
    HostedBox hb(Maximum(800, 600, false));
    CCropBox& box = hb.box;
    box.NewPicture(1600, 1200, 820, 620);
    ASSERT_EQ(static_cast<const TRect&>(box.DrawBox()), (TRect{10, 10, 810, 610}));
    hb.host.WipeScreen(); // the repaint after a new picture
    box.AfterPaint();

    struct Step {
        const char* what;
        enum { Hover, Down, Move, Up } action;
        TPoint p;
        TRect crop;   // reported after the step (moves only)
        TSize copy;
    };
    const Step steps[] = {
        // No box: the whole picture, shrunk to the maximum.
        {"hover without box", Step::Hover, {300, 200}, {0, 0, 0, 0}, {800, 600}},
        {"press starts a box", Step::Down, {300, 200}, {}, {}},
        {"drag open", Step::Move, {400, 300}, {580, 380, 780, 580}, {200, 200}},
        // Beyond the picture: the drawing limits corner 2 to (810, 610).
        // 1020 x 820 shrinks to 800 x MulDiv(820, 800, 1020) = 643, then to
        // MulDiv(800, 600, 643) = 747 x 600.
        {"drag past the picture", Step::Move, {900, 700}, {580, 380, 1600, 1200}, {747, 600}},
        {"release", Step::Up, {900, 700}, {}, {}},
        {"hover inside", Step::Hover, {500, 400}, {580, 380, 1600, 1200}, {747, 600}},
        {"press inside", Step::Down, {500, 400}, {}, {}},
        // A move keeps the crop's size and, with the maximum active, the copy size.
        {"move up-left", Step::Move, {450, 380}, {480, 340, 1500, 1160}, {747, 600}},
        // Past the left edge: the horizontal step is dropped, the vertical kept.
        {"stopped at the left edge", Step::Move, {0, 370}, {480, 320, 1500, 1140}, {747, 600}},
        // The box follows the next movement at once from where it stopped.
        {"follows from where it stopped", Step::Move, {10, 370}, {500, 320, 1520, 1140}, {747, 600}},
        {"release the move", Step::Up, {10, 370}, {}, {}},
        // A click outside the box removes it.
        {"hover outside", Step::Hover, {790, 20}, {500, 320, 1520, 1140}, {747, 600}},
        {"click down", Step::Down, {790, 20}, {}, {}},
        {"click up", Step::Up, {790, 20}, {}, {}},
        {"hover after the click", Step::Hover, {790, 20}, {0, 0, 0, 0}, {800, 600}},
    };
    for (const auto& s : steps) {
        const size_t reports = hb.host.reports.size();
        switch (s.action) {
        case Step::Hover:
        case Step::Move:
            box.MouseMove(s.p);
            ASSERT_EQ(hb.host.reports.size(), reports + 1) << s.what;
            EXPECT_EQ(hb.host.LastReport().Crop, s.crop) << s.what;
            EXPECT_EQ(hb.host.LastReport().CopySize, s.copy) << s.what;
            EXPECT_EQ(hb.host.LastReport().SourceWidth, 1600) << s.what;
            EXPECT_EQ(hb.host.LastReport().SourceHeight, 1200) << s.what;
            break;
        case Step::Down:
            box.ButtonDown(s.p);
            EXPECT_TRUE(box.Tracking()) << s.what;
            break;
        case Step::Up:
            box.ButtonUp();
            EXPECT_FALSE(box.Tracking()) << s.what;
            EXPECT_FALSE(box.Sizing()) << s.what;
            // The release reports nothing of its own.
            EXPECT_EQ(hb.host.reports.size(), reports) << s.what;
            break;
        }
        ExpectScreenMatchesOutline(hb);
    }
    EXPECT_FALSE(box.HasBox());
}

TEST(CropBox, PressBesidePictureStartsOnNearestEdge) {
    HostedBox hb(Maximum(0, 0, false));
    hb.box.NewPicture(800, 300, 820, 620); // placement (10, 160)-(810, 460)
    hb.box.MouseMove({0, 100});
    hb.box.ButtonDown({0, 100});
    EXPECT_EQ(hb.box.Corner1(), (TPoint{10, 160}));
    EXPECT_EQ(hb.box.Corner2(), (TPoint{10, 160}));
    hb.box.MouseMove({900, 500});
    EXPECT_EQ(hb.box.Corner2(), (TPoint{810, 460}));
    hb.box.ButtonUp();
    EXPECT_EQ(hb.box.CopySize(), (TSize{800, 300})); // no maximum set: the crop's own size
}

TEST(CropBox, EdgeAndCornerDragsAreLimitedToThePicture) {
    struct DragCase {
        TPoint grip, to;
        THitCode hit;
        TPoint corner1, corner2; // after the release (sorted)
    };
    // Box (100, 100)-(200, 150) over placement (10, 10)-(810, 610).
    const DragCase cases[] = {
        {{100, 120}, {50, 120}, hitLeft, {50, 100}, {200, 150}},
        {{100, 120}, {-40, 500}, hitLeft, {10, 100}, {200, 150}},
        {{150, 100}, {150, 0}, hitTop, {100, 10}, {200, 150}},
        {{200, 120}, {900, 0}, hitRight, {100, 100}, {810, 150}},
        {{150, 150}, {150, 700}, hitBottom, {100, 100}, {200, 610}},
        {{100, 100}, {0, 0}, hitTopLeft, {10, 10}, {200, 150}},
        {{200, 100}, {300, 50}, hitTopRight, {100, 50}, {300, 150}},
        {{100, 150}, {20, 300}, hitBottomLeft, {20, 100}, {200, 300}},
        {{200, 150}, {250, 180}, hitBottomRight, {100, 100}, {250, 180}},
        // Dragged across the opposite edge: inside out until the release sorts it.
        {{100, 120}, {300, 120}, hitLeft, {200, 100}, {300, 150}},
        {{150, 100}, {150, 400}, hitTop, {100, 150}, {200, 400}},
    };
    for (const auto& k : cases) {
        HostedBox hb(Maximum(800, 600, false));
        hb.box.NewPicture(800, 600, 820, 620);
        hb.box.SetCorners({100, 100}, {200, 150});
        hb.box.MouseMove(k.grip);
        ASSERT_EQ(hb.box.HitCode(), k.hit);
        hb.box.ButtonDown(k.grip);
        EXPECT_TRUE(hb.box.Sizing());
        hb.box.MouseMove(k.to);
        hb.box.ButtonUp();
        EXPECT_EQ(hb.box.Corner1(), k.corner1) << "hit " << k.hit;
        EXPECT_EQ(hb.box.Corner2(), k.corner2) << "hit " << k.hit;
    }
}

TEST(CropBox, ClickWithoutDragRemovesTheBoxAndKeepsTheCrop) {
    HostedBox hb(Maximum(800, 600, false));
    hb.box.NewPicture(800, 600, 820, 620);
    hb.box.MouseMove({100, 100});
    hb.box.ButtonDown({100, 100});
    hb.box.MouseMove({300, 250});
    hb.box.ButtonUp();
    ASSERT_TRUE(hb.box.HasBox());
    hb.box.MouseMove({600, 500});
    hb.box.ButtonDown({600, 500});
    hb.box.ButtonUp();
    EXPECT_FALSE(hb.box.HasBox());
    EXPECT_EQ(hb.box.Corner1(), (TPoint{10, 10})); // (0, 0) limited by the drawing
    TRect crop{1, 1, 1, 1};
    EXPECT_EQ(hb.box.GetCropGeometry(crop, true), (TSize{800, 600}));
    EXPECT_EQ(crop, (TRect{0, 0, 0, 0}));
    EXPECT_EQ(hb.box.Crop(), (TRect{90, 90, 290, 240})); // stored for a later carry-over
    ExpectScreenMatchesOutline(hb);
}

TEST(CropBox, MovedBoxKeepsItsSizeInPicturePixels) {
    // 1000 x 750 shown at 800 x 600: 1.25 picture pixels a screen pixel.
    HostedBox hb(Maximum(0, 0, false));
    CCropBox& box = hb.box;
    box.NewPicture(1000, 750, 820, 620);
    box.MouseMove({10, 10});
    box.ButtonDown({10, 10});
    box.MouseMove({112, 111});
    box.ButtonUp();
    // Right side MulDiv(1000, 102, 800) = 127.5, rounded up.
    EXPECT_EQ(box.Crop(), (TRect{0, 0, 128, 126}));

    box.MouseMove({50, 50});
    ASSERT_EQ(box.HitCode(), hitInside);
    box.ButtonDown({50, 50});
    box.MouseMove({52, 50});
    // Both corners converted would give 3 .. 130; the moved box keeps 128.
    EXPECT_EQ(hb.host.LastReport().Crop, (TRect{3, 0, 131, 126}));
    // To the right edge: left 873 (872.5 rounded up) + 128 passes 1000 and is cut.
    box.MouseMove({748, 50});
    EXPECT_EQ(box.Corner2().X, 810);
    EXPECT_EQ(hb.host.LastReport().Crop, (TRect{873, 0, 1000, 126}));
    // Back again: the cut size is kept.
    box.MouseMove({648, 50});
    EXPECT_EQ(hb.host.LastReport().Crop, (TRect{748, 0, 875, 126}));
    box.ButtonUp();
}

TEST(CropBox, TinyBoxOnMagnifiedPictureStillCounts) {
    // 100 x 75 shown at 800 x 600: a 5-pixel box covers less than a picture pixel.
    HostedBox hb(Maximum(0, 0, false));
    hb.box.NewPicture(100, 75, 820, 620);
    hb.box.SetCorners({15, 15}, {20, 20});
    TRect crop;
    const TSize copy = hb.box.GetCropGeometry(crop, true);
    EXPECT_TRUE(hb.box.HasBox());
    EXPECT_EQ(crop, (TRect{1, 1, 1, 1})); // MulDiv(100, 5, 800) = 0.625 and 1.25 both give 1
    EXPECT_EQ(copy, (TSize{0, 0}));
}

TEST(CropBox, EmptyViewConfinesBoxToZeroPlacement) {
    HostedBox hb(Maximum(800, 600, true));
    hb.box.MouseMove({300, 300});
    hb.box.ButtonDown({300, 300});
    hb.box.MouseMove({400, 400});
    hb.box.ButtonUp();
    EXPECT_FALSE(hb.box.HasBox());
    EXPECT_EQ(hb.box.Corner1(), (TPoint{0, 0}));
    EXPECT_EQ(hb.host.LastReport().CopySize, (TSize{0, 0}));
}

// Random interaction: whatever happens, the screen holds exactly the drawn
// outline (or none), and the corners stay inside the placement after a drawing.
TEST(CropBox, OutlineBookkeepingUnderRandomInteraction) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> action(0, 11);
    std::uniform_int_distribution<int> coord(-50, 900);
    for (int run = 0; run < 200; ++run) {
        HostedBox hb(Maximum(800, 600, run % 2 == 0, run % 3 != 0, run % 5 == 0));
        TCropSettings s = Maximum(800, 600, run % 2 == 0, run % 3 != 0, run % 5 == 0);
        s.m_bPrevRect = run % 4 != 1;
        hb.box.UseSettings(s);
        hb.box.NewPicture(1600, 1200, 820, 620);
        hb.host.WipeScreen();
        hb.box.AfterPaint();
        bool held = false;
        for (int i = 0; i < 60; ++i) {
            const TPoint p{coord(rng), coord(rng)};
            switch (action(rng)) {
            case 0:
            case 1:
            case 2:
                hb.box.MouseMove(p);
                break;
            case 3:
                if (!held)
                    hb.box.ButtonDown(p);
                held = true;
                break;
            case 4:
                if (held)
                    hb.box.ButtonUp();
                held = false;
                break;
            case 5:
                if (!held)
                    hb.box.SnapToRatio(true);
                break;
            case 6:
                if (!held) {
                    std::swap(s.m_nMaxWidth, s.m_nMaxHeight);
                    hb.box.UseSettings(s);
                    hb.box.TakeRatio();
                    hb.box.InvertRatio();
                }
                break;
            case 7:
                if (!held)
                    hb.box.PropertiesChanged();
                break;
            case 8:
                hb.box.Resize(400 + coord(rng) / 2, 300 + coord(rng) / 2);
                break;
            case 9:
                if (!held) {
                    hb.box.NewPicture(1200 + coord(rng), 1600 - coord(rng), 820, 620);
                    hb.host.WipeScreen();
                    hb.box.AfterPaint();
                }
                break;
            case 10:
                if (!held) {
                    hb.box.ClearPicture();
                    hb.host.WipeScreen();
                }
                break;
            case 11:
                hb.host.WipeScreen();
                hb.box.AfterPaint();
                break;
            }
            ASSERT_NO_FATAL_FAILURE(ExpectScreenMatchesOutline(hb)) << "run " << run << " step " << i;
            if (hb.box.OutlineShown()) {
                const TDrawBox& P = hb.box.DrawBox();
                for (TPoint c : {hb.box.DrawnCorner1(), hb.box.DrawnCorner2()}) {
                    ASSERT_GE(c.X, std::min(P.Left, P.Right));
                    ASSERT_LE(c.X, std::max(P.Left, P.Right));
                    ASSERT_GE(c.Y, std::min(P.Top, P.Bottom));
                    ASSERT_LE(c.Y, std::max(P.Top, P.Bottom));
                }
            }
        }
    }
}

// Carrying the box over to a new or rotated picture, and re-placing it when
// the view changes size: the box keeps its place on screen cut to the new
// picture, a removed box's last crop comes back, and the report after a
// carry-over describes what Copy Image would write.
#include "view/CropBox.h"

#include "RecordingHost.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TCropSettings Settings(bool snap, bool prevRect, int32_t maxW = 800, int32_t maxH = 600) {
    TCropSettings s;
    s.m_nMaxWidth = maxW;
    s.m_nMaxHeight = maxH;
    s.m_bSnapRatio = snap;
    s.m_bPrevRect = prevRect;
    s.m_bMaxSize = true;
    return s;
}

void Drag(CCropBox& box, TPoint from, TPoint to) {
    box.MouseMove(from);
    box.ButtonDown(from);
    box.MouseMove(to);
    box.ButtonUp();
}

// The view's own report after a new picture, and what Copy Image asks for.
struct Outcome {
    TStatusData reported;
    TRect written;
    TSize writtenSize;
};
Outcome ShowNext(HostedBox& hb, int32_t w, int32_t h, int32_t W, int32_t H) {
    hb.box.NewPicture(w, h, W, H);
    hb.host.SendStatus();
    Outcome o{hb.host.LastReport(), {}, {}};
    o.writtenSize = hb.box.GetCropGeometry(o.written, true);
    return o;
}

} // namespace

// 800 x 600 rotated to 600 x 800 in a 700 x 586 view, maximum 800 x 600 with
// snap: the box drawn at (47, 104)-(520, 459) is cut to the rotated picture
// at (137, 10)-(562, 576), which gives 541 x 502 picture pixels before the
// snap and 541 x 406 after it. The report must give the snapped figures that
// the copy is written with, not crop (0, 133, 541, 635) and copy 541 x 502.
TEST(CarryOver, ReportAfterSnappedCarryMatchesTheCopy) {
    HostedBox hb(Settings(true, true));
    hb.box.NewPicture(800, 600, 700, 586);
    Drag(hb.box, {47, 104}, {520, 459});
    ASSERT_EQ(hb.box.Corner2(), (TPoint{520, 459})); // already 4 : 3
    const Outcome o = ShowNext(hb, 600, 800, 700, 586);
    ASSERT_EQ(static_cast<const TRect&>(hb.box.DrawBox()), (TRect{137, 10, 562, 576}));
    EXPECT_EQ(o.written, (TRect{0, 133, 541, 539}));
    EXPECT_EQ(o.writtenSize, (TSize{541, 406}));
    EXPECT_EQ(o.reported.Crop, o.written);
    EXPECT_EQ(o.reported.CopySize, o.writtenSize);
    EXPECT_EQ(o.reported.SourceWidth, 600);
    EXPECT_EQ(o.reported.SourceHeight, 800);
    // A hover afterwards converts it as a resting box and agrees.
    hb.box.MouseMove({650, 580});
    EXPECT_EQ(hb.host.LastReport().Crop, o.written);
    EXPECT_EQ(hb.host.LastReport().CopySize, o.writtenSize);
}

// Over many boxes, views and rotations: the first report after a carry-over
// is always the crop and copy size Copy Image would use.
TEST(CarryOver, ReportAlwaysMatchesTheCopy) {
    int checked = 0;
    for (bool snap : {true, false})
        for (int32_t W : {431, 600, 780, 1001})
            for (int32_t H : {333, 586, 777})
                for (int32_t x = 0; x < 5; ++x)
                    for (int32_t y = 0; y < 4; ++y) {
                        HostedBox hb(Settings(snap, true));
                        hb.box.NewPicture(1024, 683, W, H);
                        const TDrawBox& P = hb.box.DrawBox();
                        Drag(hb.box, {P.Left + 7 + x * 53, P.Top + 3 + y * 41},
                             {P.Left + 7 + x * 53 + 77 + y * 31, P.Top + 3 + y * 41 + 201 - x * 13});
                        const Outcome o = ShowNext(hb, 683, 1024, W, H);
                        EXPECT_EQ(o.reported.Crop, o.written) << W << "x" << H << " " << x << "," << y;
                        EXPECT_EQ(o.reported.CopySize, o.writtenSize) << W << "x" << H << " " << x << "," << y;
                        ++checked;
                    }
    EXPECT_EQ(checked, 2 * 4 * 3 * 5 * 4);
}

TEST(CarryOver, BoxKeepsItsPlaceOnScreenCutToTheRotatedPicture) {
    HostedBox hb(Settings(false, true));
    hb.box.NewPicture(800, 600, 780, 586); // placement (10, 8)-(770, 578)
    Drag(hb.box, {100, 100}, {400, 300});
    hb.box.NewPicture(600, 800, 780, 586); // placement (177, 10)-(602, 576)
    // Cut to the new placement on the left; the rest stays within a pixel of
    // where it was (converted to picture pixels and back).
    EXPECT_EQ(hb.box.Corner1().X, 177);
    EXPECT_LE(std::abs(hb.box.Corner1().Y - 100), 1);
    EXPECT_LE(std::abs(hb.box.Corner2().X - 400), 1);
    EXPECT_LE(std::abs(hb.box.Corner2().Y - 300), 1);
    EXPECT_TRUE(hb.box.OutlineShown());
}

// A box wholly beside the turned picture is cut to nothing, and its crop is
// empty rather than inside out (a crop width below zero would be kept for
// the next move). Found by the crop box fuzzer.
TEST(CarryOver, BoxBesideTheRotatedPictureIsCutToNothing) {
    HostedBox hb(Settings(false, true));
    hb.box.NewPicture(800, 200, 820, 620); // placement (10, 210)-(810, 410)
    Drag(hb.box, {600, 250}, {700, 300});
    hb.box.NewPicture(200, 800, 820, 620); // placement (335, 10)-(485, 610)
    EXPECT_FALSE(hb.box.HasBox());
    // x is cut to the right edge on both sides; y 240 to 290 of 600 is
    // 320 to 387 of 800.
    EXPECT_EQ(hb.box.Crop(), (TRect{200, 320, 200, 387}));
}

TEST(CarryOver, SnapBringsTheCarriedBoxBackToTheRatio) {
    HostedBox hb(Settings(true, true));
    hb.box.NewPicture(800, 600, 780, 586);
    Drag(hb.box, {300, 100}, {700, 400}); // snapped: 400 x 300
    ASSERT_EQ(hb.box.Corner2(), (TPoint{700, 400}));
    hb.box.NewPicture(600, 800, 780, 586);
    // Cut to x 602 it is 302 wide; the width leads: MulDiv(302, 600, 800) = 227
    // (226.5 rounded up).
    EXPECT_EQ(hb.box.Corner1(), (TPoint{300, 100}));
    EXPECT_EQ(hb.box.Corner2(), (TPoint{602, 327}));
}

TEST(CarryOver, RemovedBoxComesBackFromTheStoredCrop) {
    HostedBox hb(Settings(false, true));
    hb.box.NewPicture(1600, 1200, 820, 620); // half size at (10, 10)-(810, 610)
    Drag(hb.box, {110, 60}, {310, 260});
    ASSERT_EQ(hb.box.Crop(), (TRect{200, 100, 600, 500}));
    Drag(hb.box, {700, 600}, {700, 600}); // a click removes the box
    ASSERT_FALSE(hb.box.HasBox());
    // The next picture, 800 x 600 one to one: the same picture pixels.
    const Outcome o = ShowNext(hb, 800, 600, 820, 620);
    EXPECT_EQ(hb.box.Corner1(), (TPoint{210, 110}));
    EXPECT_EQ(hb.box.Corner2(), (TPoint{610, 510}));
    EXPECT_EQ(o.reported.Crop, (TRect{200, 100, 600, 500}));
}

TEST(CarryOver, SwitchedOffDropsTheBoxButKeepsTheCrop) {
    HostedBox hb(Settings(false, false));
    hb.box.NewPicture(800, 600, 820, 620);
    Drag(hb.box, {110, 60}, {310, 260});
    const Outcome o = ShowNext(hb, 800, 600, 820, 620);
    EXPECT_FALSE(hb.box.HasBox());
    EXPECT_EQ(o.reported.Crop, (TRect{0, 0, 0, 0}));
    EXPECT_EQ(o.reported.CopySize, (TSize{800, 600}));
    EXPECT_EQ(hb.box.Crop(), (TRect{100, 50, 300, 250}));
    // Switched on again, the next picture gets the stored crop back.
    hb.box.UseSettings(Settings(false, true));
    ShowNext(hb, 800, 600, 820, 620);
    EXPECT_EQ(hb.box.Corner1(), (TPoint{110, 60}));
    EXPECT_EQ(hb.box.Corner2(), (TPoint{310, 260}));
}

TEST(CarryOver, ClearedPictureKeepsSizesAndCropForTheNext) {
    HostedBox hb(Settings(false, true));
    hb.box.NewPicture(800, 600, 820, 620);
    Drag(hb.box, {110, 60}, {310, 260});
    hb.box.ClearPicture();
    EXPECT_FALSE(hb.box.HasBox());
    EXPECT_FALSE(hb.box.OutlineShown());
    EXPECT_EQ(hb.box.PictureWidth(), 800);
    EXPECT_EQ(static_cast<const TRect&>(hb.box.DrawBox()), (TRect{10, 10, 810, 610}));
    ShowNext(hb, 800, 600, 820, 620);
    EXPECT_EQ(hb.box.Corner1(), (TPoint{110, 60}));
}

TEST(Resize, BoxFollowsThePictureAndARemovedBoxStaysRemoved) {
    HostedBox hb(Settings(false, false));
    hb.box.NewPicture(800, 600, 820, 620);
    Drag(hb.box, {110, 60}, {310, 260});
    // Half the size: placement (10, 10)-(410, 310), the box at the same picture pixels.
    hb.box.Resize(420, 320);
    EXPECT_EQ(hb.box.Corner1(), (TPoint{60, 35}));
    EXPECT_EQ(hb.box.Corner2(), (TPoint{160, 135}));
    EXPECT_EQ(hb.box.DrawnCorner2(), (TPoint{160, 135}));
    TRect crop;
    hb.box.GetCropGeometry(crop, true);
    EXPECT_EQ(crop, (TRect{100, 50, 300, 250}));

    // Removed by a click, a resize must not bring the box back.
    Drag(hb.box, {400, 300}, {400, 300});
    ASSERT_FALSE(hb.box.HasBox());
    hb.box.Resize(820, 620);
    hb.box.PlaceCropBox();
    EXPECT_FALSE(hb.box.HasBox());
    EXPECT_EQ(hb.box.GetCropGeometry(crop, true), (TSize{800, 600}));
    EXPECT_EQ(crop, (TRect{0, 0, 0, 0}));
    // Nor after a new picture shown without the previous rectangle.
    Drag(hb.box, {110, 60}, {310, 260});
    hb.box.NewPicture(800, 600, 820, 620);
    hb.box.Resize(700, 500);
    EXPECT_FALSE(hb.box.HasBox());
}

// Maximum 480 x 234 with snap, a 1024 x 768 picture in 1187 x 781: after the
// view is resized to 1279 x 176 the box re-placed from its crop is cut by the
// new placement. A hover's report must then give what Copy Image writes,
// crop (108, 542, 576, 768) at 468 x 226, not the crop and copy size from
// before the resize, (108, 542, 573, 768) at 465 x 227.
TEST(Resize, ReportAfterResizeMatchesTheCopy) {
    HostedBox hb(Settings(true, false, 480, 234));
    hb.box.NewPicture(1024, 768, 1187, 781);
    Drag(hb.box, {194, 605}, {655, 555});
    hb.box.Resize(1279, 176);
    hb.box.MouseMove({573, 175});
    const TStatusData reported = hb.host.LastReport();
    TRect written;
    const TSize writtenSize = hb.box.GetCropGeometry(written, true);
    EXPECT_EQ(written, (TRect{108, 542, 576, 768}));
    EXPECT_EQ(writtenSize, (TSize{468, 226}));
    EXPECT_EQ(reported.Crop, written);
    EXPECT_EQ(reported.CopySize, writtenSize);
}

TEST(Resize, ZeroSizedPictureLeavesPlacementAndBoxAlone) {
    HostedBox hb(Settings(false, true));
    hb.box.NewPicture(800, 600, 820, 620);
    Drag(hb.box, {110, 60}, {310, 260});
    hb.box.NewPicture(0, 0, 400, 300);
    EXPECT_EQ(static_cast<const TRect&>(hb.box.DrawBox()), (TRect{10, 10, 810, 610}));
    hb.box.PlaceCropBox();
    EXPECT_EQ(hb.box.Corner1(), (TPoint{110, 60}));
}

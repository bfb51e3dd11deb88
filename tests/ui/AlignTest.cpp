// The aligned layout and the splitter's limits, without a window.
#include "ui/Align.h"
#include "ui/Command.h"

#include <gtest/gtest.h>

using ui::TAlign;
using ui::TAlignSpec;
using ui::TBox;

TEST(Align, BandsInTheOrderTopBottomLeftRightClient) {
    // The main window's shape: a tool bar with margins, a status bar, a list
    // pane, a splitter and a view with margins, given in creation order.
    const std::vector<TAlignSpec> children{
        {TAlign::Top, true, {3, 2, 2, 2}, 0, 40, true}, {TAlign::Left, false, {}, 120, 0, true},
        {TAlign::Left, false, {}, 8, 0, true},          {TAlign::Client, true, {4, 4, 4, 4}, 0, 0, true},
        {TAlign::Bottom, false, {}, 0, 19, true},
    };
    const std::vector<TBox> boxes = ui::ArrangeAligned({0, 0, 1000, 500}, children);
    EXPECT_EQ(boxes[0], (TBox{3, 2, 998, 42}));
    EXPECT_EQ(boxes[1], (TBox{0, 44, 120, 481}));
    EXPECT_EQ(boxes[2], (TBox{120, 44, 128, 481}));
    EXPECT_EQ(boxes[3], (TBox{132, 48, 996, 477}));
    EXPECT_EQ(boxes[4], (TBox{0, 481, 1000, 500}));

    // A hidden tool bar gives its band to the rest; margins without room
    // give an empty box, never an inverted one.
    std::vector<TAlignSpec> hidden = children;
    hidden[0].Visible = false;
    EXPECT_EQ(ui::ArrangeAligned({0, 0, 1000, 500}, hidden)[1], (TBox{0, 0, 120, 481}));
    const std::vector<TBox> tiny = ui::ArrangeAligned({0, 0, 100, 30}, children);
    EXPECT_EQ(tiny[3].Width(), 0);
    EXPECT_GE(tiny[3].Height(), 0);
}

TEST(Align, SplitterKeepsBothSidesAtTheirMinimum) {
    EXPECT_EQ(ui::SplitterWidth(300, 120, 1000, 30), 300);
    EXPECT_EQ(ui::SplitterWidth(50, 120, 1000, 30), 120);
    EXPECT_EQ(ui::SplitterWidth(990, 120, 1000, 30), 970);
    // With no room at all the pane keeps its own minimum.
    EXPECT_EQ(ui::SplitterWidth(200, 120, 100, 30), 120);
}

TEST(Command, ShortcutsAndHints) {
    EXPECT_EQ(ui::ShortcutText({'C', true, false, false}), "Ctrl+C");
    EXPECT_EQ(ui::ShortcutText({0x70, false, false, false}), "F1");
    EXPECT_EQ(ui::ShortcutText({'X', true, true, true}), "Shift+Ctrl+Alt+X");
    EXPECT_EQ(ui::ShortcutText({}), "");
    EXPECT_EQ(ui::ShortHint("Exit Application|Close Snapwell"), "Exit Application");
    EXPECT_EQ(ui::LongHint("Exit Application|Close Snapwell"), "Close Snapwell");
    EXPECT_EQ(ui::LongHint("Display the help file"), "Display the help file");
}

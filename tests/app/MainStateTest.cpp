// The main window's state without a window: Next, Previous and the
// read-ahead's neighbour round the ends of the image list, the size
// switches and their refusals, the tool bar word, and the tool bar and
// menus the command rows give.
#include "app/CommandTable.h"
#include "app/MainState.h"

#include <gtest/gtest.h>

namespace {

constexpr size_t kNone = TImageList::kNone;

std::vector<std::string> Names(size_t count) {
    std::vector<std::string> names;
    for (size_t i = 0; i < count; ++i)
        names.push_back(std::string(1, char('a' + i)) + ".jpg");
    return names;
}

} // namespace

TEST(MainState, NextPreviousAndTheNeighbourGoRoundTheEnds) {
    const struct {
        size_t count, selected;
        int direction;
        size_t step;
        bool round;
        size_t neighbour; // of the selection, in the direction just taken
    } cases[] = {
        {3, 0, 1, 1, false, 1},    {3, 1, -1, 0, false, 0},       {3, 2, 1, 0, true, 0},
        {3, 0, -1, 2, true, 2},    {3, kNone, 1, 0, true, kNone}, {3, kNone, -1, 2, true, kNone},
        {1, 0, 1, 0, true, kNone}, {1, 0, -1, 0, true, kNone},    {0, kNone, 1, kNone, false, kNone},
    };
    for (const auto& c : cases) {
        TImageList list;
        list.Assign(Names(c.count));
        list.Select(c.selected);
        const TImageList::TStep step = list.Step(c.direction);
        EXPECT_EQ(step.index, c.step) << c.count << " " << c.selected << " " << c.direction;
        EXPECT_EQ(step.bRound, c.round) << c.count << " " << c.selected << " " << c.direction;
        EXPECT_EQ(list.Direction(), c.direction);
        EXPECT_EQ(list.Selected(), c.selected); // the tree reports the new selection
        EXPECT_EQ(list.Neighbour(), c.neighbour) << c.count << " " << c.selected << " " << c.direction;
    }

    TImageList list;
    list.Assign(Names(2));
    list.Select(1);
    EXPECT_EQ(list.SelectedName(), "b.jpg");
    list.Select(2); // past the end: none
    EXPECT_EQ(list.Selected(), kNone);
    EXPECT_EQ(list.SelectedName(), "");
    list.Select(0);
    list.Assign(Names(3)); // a new fill selects nothing
    EXPECT_EQ(list.Selected(), kNone);
}

TEST(MainState, SizeSwitchesCoupleAndRefuseWithoutBothSizes) {
    struct Switches {
        bool snap, max, enlarge;
    };
    const struct {
        int32_t width, height;
        Switches before;
        SizeSwitch flipped;
        bool refused;
        Switches after;
        TViewUpdate update;
    } cases[] = {
        {800,
         600,
         {false, true, false},
         SizeSwitch::Enlargement,
         false,
         {false, true, true},
         TViewUpdate::Rules},
        {800,
         600,
         {false, false, false},
         SizeSwitch::Enlargement,
         false,
         {false, true, true},
         TViewUpdate::Rules},
        {800,
         600,
         {false, true, true},
         SizeSwitch::Enlargement,
         false,
         {false, true, false},
         TViewUpdate::Rules},
        {800,
         600,
         {false, true, true},
         SizeSwitch::MaxSize,
         false,
         {false, false, false},
         TViewUpdate::Rules},
        {800,
         600,
         {false, true, false},
         SizeSwitch::SnapRatio,
         false,
         {true, true, false},
         TViewUpdate::RulesThenSnap},
        {800,
         600,
         {true, true, false},
         SizeSwitch::SnapRatio,
         false,
         {false, true, false},
         TViewUpdate::Rules},
        {800, 0, {true, true, true}, SizeSwitch::SnapRatio, true, {false, true, true}, TViewUpdate::None},
        {0, 600, {false, true, true}, SizeSwitch::Enlargement, true, {false, true, false}, TViewUpdate::None},
        {0, 0, {false, false, false}, SizeSwitch::MaxSize, true, {false, false, false}, TViewUpdate::None},
    };
    for (const auto& c : cases) {
        TMainState state(TProperties("", ""));
        TProperties& p = state.Settings();
        p.m_nMaxWidth = c.width;
        p.m_nMaxHeight = c.height;
        p.m_bSnapRatio = c.before.snap;
        p.m_bMaxSize = c.before.max;
        p.m_bEnlargement = c.before.enlarge;
        const TMainState::TFlip flip = state.FlipSwitch(c.flipped);
        const int row = int(&c - cases);
        EXPECT_EQ(flip.bRefused, c.refused) << row;
        EXPECT_EQ(flip.update, c.update) << row;
        EXPECT_EQ(p.m_bSnapRatio, c.after.snap) << row;
        EXPECT_EQ(p.m_bMaxSize, c.after.max) << row;
        EXPECT_EQ(p.m_bEnlargement, c.after.enlarge) << row;
    }

    // Invert Ratio swaps both sizes, and nothing without both.
    TMainState state(TProperties("", ""));
    state.Settings().m_nMaxWidth = 1024;
    state.Settings().m_nMaxHeight = 768;
    EXPECT_EQ(state.InvertRatio(), TViewUpdate::TurnBox);
    EXPECT_EQ(state.CropSettings().m_nMaxWidth, 768);
    EXPECT_EQ(state.CropSettings().m_nMaxHeight, 1024);
    state.Settings().m_nMaxHeight = 0;
    EXPECT_EQ(state.InvertRatio(), TViewUpdate::None);
    EXPECT_EQ(state.Settings().m_nMaxWidth, 768);
}

TEST(MainState, ToolbarWordButtonsDividersAndShowAll) {
    TMainState state(TProperties("", ""), toolbar::kDefault);
    // The rotate divider shows while any rotate button does.
    for (ToolbarFlags bit : {toolbar::kShowRotateRight, toolbar::kShowRotateLeft, toolbar::kShowRotateUp})
        state.FlipToolbarBit(bit);
    EXPECT_FALSE(DividerShown(tbsRotate, state.Toolbar()));
    state.FlipToolbarBit(toolbar::kShowRotateUp);
    EXPECT_TRUE(DividerShown(tbsRotate, state.Toolbar()));
    // The help divider follows Help alone, not the Copy button before it.
    state.FlipToolbarBit(toolbar::kShowCopy);
    EXPECT_TRUE(DividerShown(tbsHelp, state.Toolbar()));
    state.FlipToolbarBit(toolbar::kShowHelp);
    EXPECT_FALSE(DividerShown(tbsHelp, state.Toolbar()));

    // Show All brings back every button but Enlargement and Help, and
    // leaves the captions and the tool bar itself alone.
    state.FlipToolbarBit(toolbar::kShowCaptions);
    state.ShowAllButtons();
    EXPECT_EQ(state.Toolbar(), toolbar::kDefault & ~(toolbar::kShowHelp | toolbar::kShowCaptions));
}

TEST(MainState, ToolbarAndMenusComeFromTheRows) {
    std::vector<unsigned> toolbar;
    for (const TToolItem& item : ToolBarItems())
        toolbar.push_back(item.Id);
    EXPECT_EQ(toolbar, (std::vector<unsigned>{
                           tbsLead, cmdProperties, tbsProperties, cmdRotateRight, cmdRotateLeft, cmdRotateUp,
                           tbsRotate, cmdSnapRatio, cmdInvertRatio, cmdMaxSize, cmdEnlargement, tbsSnapRatio,
                           cmdPrevImage, cmdNextImage, tbsPrevNext, cmdCopy, tbsHelp, cmdHelp}));

    const auto ids = [](TMenu menu) {
        std::vector<unsigned> entries;
        for (const TMenuEntry& entry : MenuEntries(menu))
            entries.push_back(entry.Id);
        return entries;
    };
    EXPECT_EQ(ids(TMenu::Image),
              (std::vector<unsigned>{cmdRotateRight, cmdRotateLeft, cmdRotateUp, 0, cmdSnapRatio, cmdMaxSize,
                                     cmdEnlargement, 0, cmdInvertRatio, 0, cmdAutoAdvance, cmdPrevRect, 0,
                                     cmdPrevImage, cmdNextImage, 0, cmdCopy}));
    EXPECT_EQ(ids(TMenu::Toolbar),
              (std::vector<unsigned>{cmdShowProperties, cmdShowRotateRight, cmdShowRotateLeft,
                                     cmdShowRotateUp, cmdShowSnapRatio, cmdShowInvertRatio, cmdShowMaxSize,
                                     cmdShowEnlargement, cmdShowPrevImage, cmdShowNextImage, cmdShowCopy,
                                     cmdShowHelp, 0, cmdShowAllTbb, 0, cmdShowCaptions}));
    EXPECT_EQ(ids(TMenu::Options), (std::vector<unsigned>{cmdProperties, cmdShowToolbar}));
    // The three switches show their check marks in place of their glyphs.
    for (const TMenuEntry& entry : MenuEntries(TMenu::Image))
        EXPECT_EQ(entry.Glyph == glNone, entry.Id == cmdSnapRatio || entry.Id == cmdMaxSize ||
                                             entry.Id == cmdEnlargement || entry.Id == cmdAutoAdvance ||
                                             entry.Id == cmdPrevRect || entry.Id == 0)
            << entry.Id;
    // The properties button alone shows no tool tip.
    EXPECT_EQ(ToolTipOf(cmdProperties), "");
    EXPECT_EQ(ToolTipOf(cmdCopy), "Create a copy of the selected image to the target folder");
}

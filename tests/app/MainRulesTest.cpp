// The main window's plain rules: quarter turns adding up, the names the tree
// and the copy take, the states the commands derive, the tool bar word and
// the status texts.
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/MainRules.h"

#include <gtest/gtest.h>

#include <set>

TEST(MainRules, RotationTable) {
    // Rows: the rotation so far (-1 none, 0 right, 1 half, 2 left); columns:
    // the turn added (0 right, 1 half, 2 left).
    const int32_t expected[4][3] = {{0, 1, 2}, {1, 2, -1}, {2, -1, 0}, {-1, 0, 1}};
    for (int32_t old = -1; old <= 2; ++old)
        for (int32_t code = 0; code <= 2; ++code)
            EXPECT_EQ(CombineRotation(old, code), expected[old + 1][code]) << old << " + " << code;
}

TEST(MainRules, NamesOfTheTreeAndTheCopy) {
    const struct {
        const char* in;
        const char* folderEntry;
        const char* extension;
        const char* copy;
    } cases[] = {
        {"C:\\Photos\\Holiday", "Holiday", "", "C:\\Photos\\Holiday.jpg"},
        {"C:", "", "", "C:.jpg"},
        {"photo.tif", "photo.tif", ".tif", "photo.jpg"},
        {"a.b.png", "a.b.png", ".png", "a.b.jpg"},
        {"photo.JPEG", "photo.JPEG", ".JPEG", "photo.jpg"},
        {"noext", "noext", "", "noext.jpg"},
        {".hidden", ".hidden", ".hidden", ".jpg"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderEntryText(c.in), c.folderEntry) << c.in;
        EXPECT_EQ(ExtensionOf(c.in), c.extension) << c.in;
        EXPECT_EQ(CopyFileName(c.in), c.copy) << c.in;
    }
}

TEST(MainRules, CommandStatesInTheThreeStates) {
    TCommandSnapshot none;
    none.bHasImages = true;
    none.bSnapRatio = none.bMaxSize = none.bEnlargement = true;
    TCommandSnapshot noMaximum = none;
    noMaximum.bPicture = true;
    TCommandSnapshot maximum = noMaximum;
    maximum.bSizes = maximum.bMaxSizeActive = true;

    const struct {
        const char* what;
        TCommandSnapshot snapshot;
        bool picture, sizeRules, snapChecked, enlargementChecked;
    } cases[] = {
        {"no picture", none, false, false, false, false},
        {"picture without a maximum", noMaximum, true, false, false, false},
        {"picture with a maximum", maximum, true, true, true, true},
    };
    for (const auto& c : cases) {
        const TCommandStates s = DeriveCommandStates(c.snapshot);
        EXPECT_TRUE(s.bNextPrevEnabled) << c.what;
        EXPECT_EQ(s.bPictureEnabled, c.picture) << c.what;
        EXPECT_EQ(s.bSizeRulesEnabled, c.sizeRules) << c.what;
        EXPECT_EQ(s.bSnapRatioChecked, c.snapChecked) << c.what;
        EXPECT_EQ(s.bEnlargementChecked, c.enlargementChecked) << c.what;
        EXPECT_TRUE(s.bMaxSizeChecked) << c.what; // the switch itself, whatever the sizes
    }
    TCommandSnapshot empty;
    EXPECT_FALSE(DeriveCommandStates(empty).bNextPrevEnabled);
}

TEST(MainRules, ToolbarWordHasOneBitPerShowCommand) {
    std::set<ToolbarFlags> bits;
    for (const TButtonToggle& t : ButtonToggles())
        bits.insert(t.Bit);
    EXPECT_EQ(bits.size(), 12u);
    // The default word checks every show command but Enlargement.
    const auto checkedByDefault = [](unsigned nId) {
        for (const ui::TCommandDef& c : MainCommands())
            if (c.Id == nId)
                return c.Checked && nId != cmdShowEnlargement;
        return false;
    };
    EXPECT_EQ(ComposeToolbarFlags(checkedByDefault), toolbar::kDefault);
    EXPECT_EQ(ComposeToolbarFlags([](unsigned nId) { return nId == cmdShowCaptions; }),
              toolbar::kShowCaptions);
}

TEST(MainRules, StatusTexts) {
    EXPECT_EQ(RatioText(1920, 1080), " ratio = 16 : 9");
    EXPECT_EQ(RatioText(1000, 1000), " ratio = 1 : 1");
    EXPECT_EQ(RatioText(800, 600), " ratio = 4 : 3");
    EXPECT_EQ(RatioText(0, 1080), " ratio = ?");
    EXPECT_EQ(RatioText(1920, 0), " ratio = ?");
    EXPECT_EQ(ReducedRatio(0, 5), (std::pair<int32_t, int32_t>{0, 0}));
    EXPECT_EQ(ReducedRatio(999999, 999998), (std::pair<int32_t, int32_t>{999999, 999998}));
    EXPECT_EQ(CropText(10, 20, 110, 70), " crop: (10, 20) -> (110, 70) = (100 x 50)");
    EXPECT_EQ(MaximumText(true, 0, 0), " maximum = 0 x 0");
    EXPECT_EQ(MaximumText(false, 0, 0), " maximum = ?");
    EXPECT_EQ(SourceText(6000, 4000), " source = 6000 x 4000");
    EXPECT_EQ(CopyText(1920, 1080), " copy = 1920 x 1080");
    EXPECT_EQ(HintText("Select source folder|Select a folder with source images"),
              " Select a folder with source images");
    EXPECT_EQ(HintText("Select the next image"), " Select the next image");
    EXPECT_EQ(HintText(""), " ");
}

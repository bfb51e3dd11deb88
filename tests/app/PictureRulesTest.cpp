// The rules of the pictures the main window keeps: which turn brings a kept
// picture to the user's rotation, when a file counts as unchanged, and how
// much the read-ahead may take.
#include "app/MainRules.h"
#include "app/PictureRules.h"

#include <gtest/gtest.h>

TEST(PictureRules, TurnBetweenUndoesAndCompletesEveryRotation) {
    for (int32_t from = -1; from <= 2; ++from)
        for (int32_t to = -1; to <= 2; ++to) {
            const int32_t code = TurnBetween(from, to);
            EXPECT_EQ(code < 0 ? from : CombineRotation(from, code), to) << from << " to " << to;
            EXPECT_EQ(code < 0, from == to) << from << " to " << to;
        }
}

TEST(PictureRules, StampsEqualOnlyWhenReadAndTheSame) {
    const TFileStamp file{1000, 42, true};
    EXPECT_EQ(file, (TFileStamp{1000, 42, true}));
    EXPECT_NE(file, (TFileStamp{1001, 42, true}));
    EXPECT_NE(file, (TFileStamp{1000, 43, true}));
    EXPECT_NE(TFileStamp{}, TFileStamp{}); // a file that could not be read is never unchanged
}

TEST(PictureRules, ReadAheadTakesWhatHalfTheMemoryLeaves) {
    const uint64_t mb = 1 << 20;
    // A 24-megapixel picture shown: 72 MB, its bitmap 96 MB.
    EXPECT_EQ(ReadAheadLimit(2048 * mb, 72 * mb, 96 * mb), 856 * mb);  // 2 GB of address space
    EXPECT_EQ(ReadAheadLimit(4096 * mb, 72 * mb, 96 * mb), 1880 * mb); // large-address-aware
    EXPECT_EQ(ReadAheadLimit(336 * mb, 72 * mb, 96 * mb), 0u);         // no room left
    EXPECT_EQ(ReadAheadLimit(300 * mb, 72 * mb, 96 * mb), 0u);
    EXPECT_EQ(ReadAheadLimit(2048 * mb, 0, 0), 1024 * mb); // nothing shown yet
}

TEST(PictureRules, AGoBetweenIsTwiceTheDisplayAndOnlyForLargePictures) {
    struct Case {
        int32_t w, h, side, bw, bh;
    } cases[] = {
        {6000, 4000, 1100, 2200, 1467}, // a camera picture in a laptop's view
        {4000, 6000, 1100, 1467, 2200}, // upright
        {4400, 3000, 1100, 0, 0},       // not twice the go-between: straight from the picture
        {6000, 1, 1100, 2200, 1},       // a sliver keeps a row
        {6000, 4000, 0, 0, 0},          // no display yet
        {0, 4000, 1100, 0, 0},
    };
    for (const Case& c : cases) {
        const TBetweenSize b = BetweenSize(c.w, c.h, c.side);
        EXPECT_EQ(b.nWidth, c.bw) << c.w << " x " << c.h << " for " << c.side;
        EXPECT_EQ(b.nHeight, c.bh) << c.w << " x " << c.h << " for " << c.side;
    }
    EXPECT_TRUE(BetweenServes(2200, 1467, 1100, 733));  // made for it
    EXPECT_TRUE(BetweenServes(2200, 1467, 1466, 978));  // the window a third larger
    EXPECT_FALSE(BetweenServes(2200, 1467, 1500, 1000)); // larger still: made again
}

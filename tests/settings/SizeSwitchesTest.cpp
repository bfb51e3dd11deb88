// The properties dialog's plain rules: what the size boxes take and read,
// the saved-checks word, the coupling of the two size switches and what a
// size change does to the three switches.
#include "settings/SizeSwitches.h"

#include <gtest/gtest.h>

TEST(SizeSwitches, SizeKeysAreControlCharactersAndDigits) {
    for (uint32_t ch : {8u, 22u, 31u, '0' + 0u, '9' + 0u})
        EXPECT_TRUE(IsSizeKey(ch)) << ch;
    for (uint32_t ch : {' ' + 0u, '-' + 0u, '+' + 0u, 'a' + 0u, '/' + 0u, ':' + 0u, 127u, 0x0663u})
        EXPECT_FALSE(IsSizeKey(ch)) << ch;
}

TEST(SizeSwitches, ParseNumberGivesZeroForWhatIsNoDecimalInteger) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"", 0},
        {"0", 0},
        {"1024", 1024},
        {"999999", 999999},
        {"007", 7},
        {"-5", -5},
        {"+5", 5},
        {"abc", 0},
        {"12a", 0},
        {" 12", 0},
        {"-", 0},
        {"2147483647", 2147483647},
        {"2147483648", 0},
        {"-2147483648", INT32_MIN},
        {"-2147483649", 0},
        {"99999999999999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(SizeSwitches, SavedWordCarriesEachSwitchAndAlwaysItsOwnBit) {
    EXPECT_EQ(SaveChecks({}), 1);
    EXPECT_EQ(SaveChecks({true, true, true}), 15);
    EXPECT_EQ(SaveChecks({true, false, false}), 5);
    EXPECT_EQ(SaveChecks({false, true, false}), 3);
    EXPECT_EQ(SaveChecks({false, false, true}), 9);
    for (int word = 1; word < 16; word += 2)
        EXPECT_EQ(SaveChecks(RestoreChecks(word)), word);
}

TEST(SizeSwitches, EnlargementNeedsTheMaximumSize) {
    const struct {
        SizeSwitches before;
        SizeSwitch changed;
        SizeSwitches after;
    } cases[] = {
        {{false, false, true}, SizeSwitch::Enlargement, {false, true, true}},
        {{true, false, true}, SizeSwitch::MaxSize, {true, false, false}},
        {{false, true, false}, SizeSwitch::Enlargement, {false, true, false}},
        {{true, true, false}, SizeSwitch::MaxSize, {true, true, false}},
        {{false, false, true}, SizeSwitch::SnapRatio, {false, false, true}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(CoupleSwitches(c.before, c.changed) == c.after) << int(c.changed);
}

TEST(SizeSwitches, SizeChangeDisablesOrRestores) {
    const struct {
        int32_t width, height, saved;
        bool enabled, set;
        SizeSwitches checks;
    } cases[] = {
        {0, 600, 15, false, true, {}},  {800, -1, 15, false, true, {}},
        {800, 600, 0, true, false, {}}, {800, 600, 15, true, true, {true, true, true}},
        {800, 600, 1, true, true, {}},  {1, 1, 5, true, true, {true, false, false}},
    };
    for (const auto& c : cases) {
        const SwitchUpdate update = DecideSwitches(c.width, c.height, c.saved);
        EXPECT_EQ(update.bEnabled, c.enabled) << c.width << " x " << c.height << " saved " << c.saved;
        EXPECT_EQ(update.bSetChecks, c.set) << c.width << " x " << c.height << " saved " << c.saved;
        if (c.set) {
            EXPECT_TRUE(update.checks == c.checks) << c.width << " x " << c.height << " saved " << c.saved;
        }
    }
}

// The size boxes' plain rules: which keys they take and how their texts
// read as numbers (the switch rules are driven through the real dialog).
#include "settings/SizeSwitches.h"

#include <gtest/gtest.h>

TEST(SizeSwitches, SizeKeysAreControlCharactersAndDigits) {
    for (uint32_t ch : {8u, 22u, 31u, uint32_t('0'), uint32_t('9')})
        EXPECT_TRUE(IsSizeKey(ch)) << ch;
    for (uint32_t ch :
         {uint32_t(' '), uint32_t('-'), uint32_t('a'), uint32_t('/'), uint32_t(':'), 127u, 0x0663u})
        EXPECT_FALSE(IsSizeKey(ch)) << ch;
}

TEST(SizeSwitches, ParseNumberGivesZeroForWhatIsNoDecimalInteger) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"", 0},
        {"1024", 1024},
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

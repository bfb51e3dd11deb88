// Filling a message's placeholder with texts that printf-style formatting
// would misread or cut.
#include "support/MessageText.h"

#include <gtest/gtest.h>

#include <string>

TEST(MessageText, ReplacesTheFirstPlaceholderLiterally) {
    struct Case {
        const char* format;
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {"Create Folder:\n\n\"%s\"", "C:\\New", "Create Folder:\n\n\"C:\\New\""},
        {"%s", "100%s%d%n", "100%s%d%n"},
        {"a %s b %s", "x", "a x b %s"},
        {"no placeholder", "x", "no placeholder"},
        {"%s", "", ""},
        {"", "x", ""},
        {"100% %s", "y", "100% y"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(ReplacePlaceholder(k.format, k.value), k.expected) << k.format;
}

TEST(MessageText, KeepsLongValuesWhole) {
    const std::string value(5000, 'p');
    EXPECT_EQ(ReplacePlaceholder("[%s]", value), "[" + value + "]");
}

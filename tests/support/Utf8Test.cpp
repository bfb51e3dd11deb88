// Telling UTF-8 from a legacy code page's bytes, and cutting UTF-8 texts.
#include "support/Utf8.h"

#include <gtest/gtest.h>

#include <string>

TEST(Utf8, WellFormedTextsOnly) {
    const struct {
        const char* text;
        bool utf8;
    } cases[] = {
        {"", true},
        {"C:\\Photos\\a.jpg", true},
        {"caf\xC3\xA9", true},                       // café
        {"\xE6\x9D\xB1\xE4\xBA\xAC", true},          // 東京
        {"\xF0\x9F\x8C\x85.jpg", true},              // an emoji (U+1F305)
        {"\xF4\x8F\xBF\xBF", true},                  // U+10FFFF, the last
        {"C:\\Users\\Jos\xE9\\Bilder", false},       // é in Windows-1252
        {"\x93\x8C\x8B\x9E", false},                 // 東京 in Shift-JIS
        {"caf\xC3", false},                          // cut after a lead byte
        {"\x80", false},                             // a lone continuation byte
        {"\xC0\xAF", false},                         // "/" in an overlong form
        {"\xE0\x80\xAF", false},                     // the same in three bytes
        {"\xF0\x80\x80\xAF", false},                 // and in four
        {"\xED\xA0\x80", false},                     // a UTF-16 surrogate half
        {"\xF4\x90\x80\x80", false},                 // past U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\xC3\xA9\xFF", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsUtf8(c.text), c.utf8) << c.text;
}

TEST(Utf8, CutsNeverSplitACharacter) {
    const std::string cafe = "caf\xC3\xA9";                  // é is bytes 3 and 4
    const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";   // two characters of three bytes
    const std::string latin1 = "caf\xE9s";                   // not UTF-8: bytes are cut as they come
    const struct {
        const std::string& text;
        size_t limit;
        size_t kept;
    } cases[] = {
        {cafe, 10, 5}, {cafe, 5, 5}, {cafe, 4, 3}, {cafe, 3, 3},  {tokyo, 5, 3},
        {tokyo, 3, 3}, {tokyo, 2, 0}, {latin1, 4, 4}, {latin1, 3, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8CutLength(c.text, c.limit), c.kept) << c.text << " at " << c.limit;
}

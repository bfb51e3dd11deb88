// UTF-8, the encoding of every narrow text the program handles where the
// system lets a program choose it (see NarrowText.h): telling a UTF-8 text
// from one in a legacy code page, and cutting one without splitting a
// character. Plain rules: no windows.h.
#pragma once

#include <cstddef>
#include <string_view>

// Whether `text` is well-formed UTF-8: every character in its shortest form,
// no UTF-16 surrogate halves, nothing beyond U+10FFFF. Plain ASCII is UTF-8.
bool IsUtf8(std::string_view text);

// How many bytes of `text` to keep when at most `limit` fit: `limit` itself
// (or the whole text when it is shorter), less the leading bytes of a UTF-8
// character the cut would split. A text that is not UTF-8 is cut at `limit`,
// as its own code page's characters cannot be told apart here.
size_t Utf8CutLength(std::string_view text, size_t limit);

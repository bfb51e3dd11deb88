// The code page of the program's narrow texts. Its manifest asks for UTF-8
// as the process's ANSI code page, which Windows 10 version 1903 and later
// (and Wine) honour: every "A" function, the tree, the message boxes and the
// imaging library in the same process then take and give UTF-8, so file and
// folder names in any language pass through. Older systems ignore the
// request and the program works in the system's own ANSI code page, as it
// always did. Paths stored before the switch are in that legacy code page.
#pragma once

#include <windows.h>

#include <string>

// Whether the process's narrow texts are UTF-8 (GetACP() is CP_UTF8).
bool NarrowTextIsUtf8();

// The system's own ANSI code page, from its default locale: the one narrow
// texts were in before the process switched to UTF-8 (1252 on a Western
// system, 932 on a Japanese one). GetACP() no longer tells it.
UINT LegacyAnsiCodePage();

// A text written to a file before the process spoke UTF-8, as the program
// keeps texts now: where the process speaks UTF-8 and `text` is not UTF-8,
// it is read in the legacy ANSI code page and given as UTF-8; otherwise it
// is returned as it stands.
std::string FromStoredText(const std::string& text);

// Compares two narrow texts as the system sorts names, ignoring letter case:
// CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN. CompareStringA cannot be
// used: it reads its texts in the locale's ANSI code page, not the
// process's, so two UTF-8 names would be compared letter by letter as
// Western characters.
int CompareNames(const std::string& a, const std::string& b);

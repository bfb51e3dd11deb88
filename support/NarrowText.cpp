#include "support/NarrowText.h"

#include "support/LongPath.h"
#include "support/Utf8.h"

bool NarrowTextIsUtf8() {
    return GetACP() == CP_UTF8;
}

UINT LegacyAnsiCodePage() {
    DWORD codePage = 0;
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t)) == 0 ||
        codePage == 0)
        return CP_ACP;
    return codePage;
}

std::string FromStoredText(const std::string& text) {
    if (!NarrowTextIsUtf8() || IsUtf8(text))
        return text;
    const UINT legacy = LegacyAnsiCodePage();
    if (legacy == CP_UTF8 || legacy == CP_ACP)
        return text;
    const int nChars = MultiByteToWideChar(legacy, 0, text.data(), int(text.size()), nullptr, 0);
    if (nChars <= 0)
        return text;
    std::wstring wide(size_t(nChars), L'\0');
    MultiByteToWideChar(legacy, 0, text.data(), int(text.size()), &wide[0], nChars);
    return longpath::Narrow(wide);
}

int CompareNames(const std::string& a, const std::string& b) {
    const std::wstring wa = longpath::Widen(a);
    const std::wstring wb = longpath::Widen(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(), -1, wb.c_str(), -1);
}

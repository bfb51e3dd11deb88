// System error texts through the real FormatMessage and real failed calls.
#include "support/SystemError.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
std::string TextOf(int32_t error) {
    char buffer[256];
    return GetSystemErrorText(error, buffer, sizeof buffer);
}
} // namespace

TEST(SystemErrorText, LastErrorOfAFailedOpenGivesItsText) {
    const HANDLE file = CreateFileA("C:\\no such folder here\\missing.cfg", GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_EQ(file, INVALID_HANDLE_VALUE);
    const DWORD expected = GetLastError();
    char buffer[256];
    const std::string text = GetSystemErrorText(0, buffer, sizeof buffer);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text, TextOf(static_cast<int32_t>(expected)));
    EXPECT_NE(text, TextOf(ERROR_ACCESS_DENIED));
}

TEST(SystemErrorText, KeepsTheSystemsLineEndAndReturnsTheBuffer) {
    char buffer[256];
    EXPECT_EQ(GetSystemErrorText(ERROR_ACCESS_DENIED, buffer, sizeof buffer), buffer);
    const std::string text = buffer;
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(SystemErrorText, UnknownNumberGivesAnEmptyTextNotOldBufferContents) {
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_STREQ(GetSystemErrorText(0x2ABCDEF1, buffer, sizeof buffer), "");
}

TEST(SystemErrorText, TextWithInsertsIsGivenRatherThanRefused) {
    // This text names a module through an insert; asked for without leave to
    // ignore inserts, the system refuses it.
    const std::string text = TextOf(ERROR_INVALID_ORDINAL);
    EXPECT_NE(text.find("%1"), std::string::npos) << text;
}

TEST(SystemErrorText, SmallBufferIsCutAndTerminated) {
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    GetSystemErrorText(ERROR_ACCESS_DENIED, buffer, sizeof buffer);
    EXPECT_LT(std::strlen(buffer), sizeof buffer);
    EXPECT_EQ(GetSystemErrorText(ERROR_ACCESS_DENIED, nullptr, 0), nullptr);
}

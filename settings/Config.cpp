#include "settings/Config.h"

#include "settings/ConfigPaths.h"
#include "support/Message.h"

#include "resources/StringIds.h"

#include <cstring>

namespace {
// Whether the name from a file's header is the product's, in any letter case.
bool IsOurName(const char (&name)[32]) {
    char text[33];
    std::memcpy(text, name, sizeof(name));
    text[32] = '\0';
    return lstrcmpiA(text, kConfigAppName) == 0;
}

void ClearReadOnly(const char* fileName) {
    const DWORD attributes = GetFileAttributesA(fileName);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0)
        return;
    const DWORD rest = attributes & ~DWORD(FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(fileName, rest != 0 ? rest : FILE_ATTRIBUTE_NORMAL);
}
} // namespace

CConfig::CConfig() {
    const std::string fileName = ConfigFileName();
    if (fileName.empty())
        return;
    try {
        ClearReadOnly(fileName.c_str());
        // A file of another program, or one whose header or index cannot be
        // true, is replaced by a fresh one. A file that cannot be opened is
        // left alone: Open then reports why.
        char appName[32];
        const QdfFileState state = CQdf::CheckFile(fileName.c_str(), qdf::kIntegerKeyType, appName);
        if (state == QdfFileState::damaged || (state == QdfFileState::sound && !IsOurName(appName)))
            DeleteFileA(fileName.c_str());
        Open(fileName.c_str(), qdf::kIntegerKeyType, OPEN_ALWAYS,
             GENERIC_READ | GENERIC_WRITE | FILE_SHARE_READ);
        if (IsOpen())
            SetAppName(kConfigAppName);
    } catch (const CQdfException& e) {
        Show(e);
    }
}

CConfig::~CConfig() {
    try {
        Close();
    } catch (const CQdfException& e) {
        Show(e);
    } catch (...) {
    }
}

void CConfig::Show(const CQdfException& e) const {
    if (g_pMesg)
        g_pMesg->Show(e.GetMessage(), kMesgError);
}

int32_t CConfig::SafeRead(uint32_t key, void* buffer, int32_t size) {
    try {
        return ReadRecord(key, buffer, size);
    } catch (const CQdfException& e) {
        Show(e);
        return 0;
    }
}

void CConfig::SafeWrite(uint32_t key, const void* bytes, int32_t size) {
    try {
        WriteRecord(key, bytes, size);
    } catch (const CQdfException& e) {
        Show(e);
    }
}

bool CConfig::ReadWinPos(uint32_t key, TWinPos& pos) {
    uint8_t bytes[TWinPos::kImageSize];
    const bool whole = SafeRead(key, bytes, sizeof(bytes)) == int32_t(sizeof(bytes));
    if (whole)
        pos.FromImage(bytes, sizeof(bytes));
    pos.ClampToScreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return whole;
}

void CConfig::WriteWinPos(uint32_t key, const TWinPos& pos) {
    const TWinPos::Image image = pos.ToImage();
    SafeWrite(key, image.data(), int32_t(image.size()));
}

bool CConfig::ReadProperties(TProperties& properties) {
    uint8_t bytes[TProperties::kImageSize];
    if (SafeRead(ckProperties, bytes, sizeof(bytes)) != int32_t(sizeof(bytes)))
        return false;
    return properties.FromImage(bytes, sizeof(bytes));
}

void CConfig::WriteProperties(const TProperties& properties) {
    const TProperties::Image image = properties.ToImage();
    SafeWrite(ckProperties, image.data(), int32_t(image.size()));
}

ToolbarFlags CConfig::ReadToolbarFlags() {
    uint8_t bytes[toolbar::kImageSize];
    const int32_t read = SafeRead(ckToolbar, bytes, sizeof(bytes));
    return toolbar::FromImage(bytes, size_t(read < 0 ? 0 : read));
}

void CConfig::WriteToolbarFlags(ToolbarFlags flags) {
    const auto image = toolbar::ToImage(flags);
    SafeWrite(ckToolbar, image.data(), int32_t(image.size()));
}

std::unique_ptr<CConfig> OpenConfig() {
    try {
        return std::make_unique<CConfig>();
    } catch (...) {
        if (g_pMesg)
            g_pMesg->ShowId(IDS_CONFIG_LOAD_FAILED, kMesgError);
        return nullptr;
    }
}

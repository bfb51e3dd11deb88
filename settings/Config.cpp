#include "settings/Config.h"

#include "settings/ConfigPaths.h"
#include "settings/ConfigSession.h"
#include "support/Message.h"
#include "support/NarrowText.h"
#include "support/StringTable.h"

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
    if (fileName.empty() || !g_ConfigSession.MayOpen(fileName))
        return;
    try {
        ClearReadOnly(fileName.c_str());
        // A file of another program is replaced by a fresh one without a
        // word, a damaged one (too short, or a header or index that cannot be
        // true) with one: the user's settings in it are lost. A file that
        // cannot be opened is left alone: Open then says why.
        char appName[32];
        const QdfFileState state = CQdf::CheckFile(fileName.c_str(), qdf::kIntegerKeyType, appName);
        const bool damaged = state == QdfFileState::damaged;
        const bool foreign = state == QdfFileState::sound && !IsOurName(appName);
        DWORD creation = OPEN_ALWAYS;
        if (damaged || foreign) {
            DeleteFileA(fileName.c_str());
            // In a folder where nothing may be deleted the file is emptied in
            // place, and then starts afresh as a new one.
            if (GetFileAttributesA(fileName.c_str()) != INVALID_FILE_ATTRIBUTES)
                creation = TRUNCATE_EXISTING;
        }
        Open(fileName.c_str(), qdf::kIntegerKeyType, creation, GENERIC_READ | GENERIC_WRITE | FILE_SHARE_READ);
        if (IsOpen())
            SetAppName(kConfigAppName);
        if (g_ConfigSession.Note(fileName, damaged ? ConfigOpening::reset : ConfigOpening::opened))
            m_sResetReason = CQdfException(CQdfException::qeDamaged, fileName.c_str()).GetMessage();
    } catch (const CQdfException& e) {
        if (g_ConfigSession.Note(fileName, ConfigOpening::unreadable))
            m_sResetReason = e.GetMessage();
    }
}

CConfig::~CConfig() {
    try {
        Close();
    } catch (const CQdfException& e) {
        Show(e);
    } catch (...) {
    }
    // Said with the file closed, so nothing waits on it while the user reads.
    if (!m_sResetReason.empty() && g_pMesg)
        g_pMesg->Show(FormatResString(IDS_CONFIG_RESET, m_sResetReason), kMesgInformation);
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
    const TProperties before = properties;
    if (!properties.FromImage(bytes, sizeof(bytes)))
        return false;
    // A record written before the program spoke UTF-8 holds its folders in
    // the system's legacy ANSI code page: those are taken in UTF-8. One that
    // UTF-8 makes too long for its field keeps the folder the settings had
    // (cut, it would name another folder).
    const auto take = [](const char* stored, const char* had) {
        const std::string folder = FromStoredText(stored);
        return folder.size() <= TProperties::kMaxFolderBytes ? folder : std::string(had);
    };
    properties.SetSourceFolder(take(properties.m_szSourceFolder, before.m_szSourceFolder).c_str());
    properties.SetTargetFolder(take(properties.m_szTargetFolder, before.m_szTargetFolder).c_str());
    return true;
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

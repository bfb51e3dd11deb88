#include "settings/QdfException.h"

#include "settings/Bytes.h"
#include "support/Utf8.h"

namespace {
constexpr size_t kMaxMessage = 255;
}

CQdfException::CQdfException(int32_t code, const char* fileName) : m_nCode(code), m_bSystem(false) {
    settings::CopyBounded(m_szFileName, sizeof(m_szFileName), fileName);
    settings::CopyBounded(m_szDetail, sizeof(m_szDetail), CodeText(code));
}

CQdfException::CQdfException(int32_t systemError, const char* systemText, const char* fileName)
    : m_nCode(systemError), m_bSystem(true) {
    settings::CopyBounded(m_szFileName, sizeof(m_szFileName), fileName);
    settings::CopyBounded(m_szDetail, sizeof(m_szDetail), systemText);
}

const char* CQdfException::CodeText(int32_t code) {
    switch (code) {
    case qeSuccess:
        return "Success";
    case qeReadOnly:
        return "Read-only file cannot be opened for writing";
    case qeKeyType:
        return "The index key type does not match";
    case qeDriveType:
        return "The drive type does not support writting";
    case qeNotReady:
        return "The drive is not ready";
    case qeDamaged:
        return "The file is damaged";
    default:
        return "Unknown File Error";
    }
}

std::string CQdfException::ComposeMessage() const {
    std::string message;
    if (m_bSystem)
        message += m_szDetail;
    if (m_szFileName[0] != '\0') {
        message += m_szFileName;
        message += "\r\n";
    }
    if (!m_bSystem)
        message += m_szDetail;
    if (message.size() > kMaxMessage)
        message.resize(Utf8CutLength(message, kMaxMessage));
    return message;
}

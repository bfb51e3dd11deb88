// The one exception of the record file layer: a code of its own or an
// operating-system error number, with a detail text and the file's name.
// Raised inside the file layer only and shown by the configuration manager.
#pragma once

#include <cstdint>
#include <string>

class CQdfException {
public:
    // Codes of the file layer (m_bSystem false).
    enum : int32_t {
        qeSuccess = 0,
        qeUnknown = 1,
        qeReadOnly = 2,
        qeKeyType = 3,
        qeDriveType = 4,
        qeNotReady = 5,
        qeDamaged = 6,
    };

    // One of the codes above; the detail is the code's text.
    CQdfException(int32_t code, const char* fileName);
    // An operating-system error with the system's text for it.
    CQdfException(int32_t systemError, const char* systemText, const char* fileName);

    // The text of a file-layer code ("Unknown File Error" for unknown codes).
    static const char* CodeText(int32_t code);

    // For a system error its text; then the file name and CR LF when the name
    // is known; then, for a code of the file layer, the code's text. At most
    // 255 characters.
    std::string GetMessage() const { return ComposeMessage(); }
#if defined(_WIN32) && !defined(GetMessage)
    // windows.h turns GetMessage into GetMessageA in code that includes it
    // after this header.
    std::string GetMessageA() const {
        return ComposeMessage();
    }
#endif
    std::string ComposeMessage() const;

    int32_t m_nCode;
    bool m_bSystem;
    char m_szFileName[256];
    char m_szDetail[256];
};

#include "support/SystemError.h"

#include <windows.h>

char* GetSystemErrorText(int32_t error, char* buffer, int32_t size) {
    // Read the last error before any other call can change it.
    const DWORD number = error != 0 ? static_cast<DWORD>(error) : GetLastError();
    if (!buffer || size <= 0)
        return buffer;
    // FormatMessage leaves the buffer as it was when it knows no text for the
    // number; the caller must never see what was there before.
    buffer[0] = '\0';
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, number,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, static_cast<DWORD>(size), nullptr);
    buffer[length < static_cast<DWORD>(size) ? length : size - 1] = '\0';
    return buffer;
}

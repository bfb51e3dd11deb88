#include "imaging/isource/FileDest.h"

#include "imaging/isource/WidePath.h"

#include <new>

namespace isource {

FileDest* FileDest::Open(const char* path, bool append) {
    if (path == nullptr || *path == '\0')
        return nullptr;
    HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                              append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    if (append) {
        LARGE_INTEGER zero{};
        SetFilePointerEx(file, zero, nullptr, FILE_END);
    }
    FileDest* dest = new (std::nothrow) FileDest(file);
    if (dest == nullptr) {
        CloseHandle(file);
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return dest;
}

FileDest::~FileDest() {
    if (m_hFile != nullptr)
        CloseHandle(m_hFile);
}

bool FileDest::Write(const uint8_t* data, size_t size) {
    while (!m_bFailed && size > 0) {
        const DWORD chunk = size > 0x10000000u ? 0x10000000u : DWORD(size);
        DWORD written = 0;
        if (!WriteFile(m_hFile, data, chunk, &written, nullptr) || written == 0)
            m_bFailed = true;
        data += written;
        size -= written;
    }
    return !m_bFailed;
}

bool FileDest::Close() {
    const bool closed = CloseHandle(m_hFile) != 0;
    m_hFile = nullptr;
    return closed && !m_bFailed;
}

} // namespace isource

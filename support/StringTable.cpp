#include "support/StringTable.h"

#include "support/MessageText.h"

#include <windows.h>

#include <vector>

std::string LoadResString(int id) {
    // LoadStringA reports a truncated text by filling the buffer to its last
    // character; grow until the whole text fits (entries hold at most 65535).
    for (int size = 256; size <= 65536 * 2; size *= 2) {
        std::vector<char> buffer(static_cast<size_t>(size), '\0');
        const int length = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buffer.data(), size);
        if (length <= 0)
            return std::string();
        if (length < size - 1)
            return std::string(buffer.data(), static_cast<size_t>(length));
    }
    return std::string();
}

std::string FormatResString(int id, const std::string& value) {
    return ReplacePlaceholder(LoadResString(id), value);
}

#include "support/Utf8.h"

#include <cstdint>

namespace {
// Bytes of the character that `lead` starts, 0 for a byte no character
// starts with (a continuation byte, C0 and C1, F5 to FF).
size_t SequenceLength(uint8_t lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool IsContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}
} // namespace

bool IsUtf8(std::string_view text) {
    size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<uint8_t>(text[at]);
        const size_t length = SequenceLength(lead);
        if (length == 0 || text.size() - at < length)
            return false;
        for (size_t i = 1; i < length; ++i)
            if (!IsContinuation(static_cast<uint8_t>(text[at + i])))
                return false;
        if (length >= 3) {
            // The second byte's range rules out the overlong forms (E0, F0),
            // the surrogate halves (ED) and what lies past U+10FFFF (F4).
            const auto second = static_cast<uint8_t>(text[at + 1]);
            if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
                (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
                return false;
        }
        at += length;
    }
    return true;
}

size_t Utf8CutLength(std::string_view text, size_t limit) {
    if (text.size() <= limit)
        return text.size();
    if (!IsUtf8(text))
        return limit;
    size_t cut = limit;
    while (cut > 0 && IsContinuation(static_cast<uint8_t>(text[cut])))
        --cut;
    return cut;
}

#include "imaging/isource/psd/PackBits.h"

#include <cstring>

namespace isource {

bool UnpackBitsRow(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize) {
    size_t i = 0;
    size_t o = 0;
    while (o < outSize) {
        if (i >= inSize) {
            return false;
        }
        const int code = static_cast<int8_t>(in[i++]);
        if (code >= 0) { // code + 1 literal bytes
            const size_t length = static_cast<size_t>(code) + 1;
            if (inSize - i < length || outSize - o < length) {
                return false;
            }
            if (out != nullptr) {
                std::memcpy(out + o, in + i, length);
            }
            i += length;
            o += length;
        } else if (code != -128) { // the next byte 1 - code times; -128 is a no-op
            const size_t length = static_cast<size_t>(1 - code);
            if (i >= inSize || outSize - o < length) {
                return false;
            }
            if (out != nullptr) {
                std::memset(out + o, in[i], length);
            }
            ++i;
            o += length;
        }
    }
    return true;
}

} // namespace isource

// Splitting a picture's rows into bands worked on by the processors at once.
// The bands are joined before the call returns: no thread outlives the
// operation, and callers stay single-threaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>

namespace isource {

// Below this many bytes of pixels a job runs on the calling thread alone:
// starting a thread costs more than it saves.
constexpr int64_t kBandMinBytes = 1 << 20;

// Calls body(begin, end) for contiguous bands covering [0, count), on up to
// four threads (the calling one among them) when `bytes` is large enough.
// An exception thrown by a band is rethrown here once every band ended.
void ForEachBand(int32_t count, int64_t bytes, const std::function<void(int32_t, int32_t)>& body);

// Touches every page of a fresh buffer from several threads at once, so the
// system's first-touch work (mapping and zeroing each page) is shared out
// instead of landing on a single-threaded writer such as a decoder. The
// bytes become zero.
void PrepareBuffer(uint8_t* buffer, size_t bytes);

} // namespace isource

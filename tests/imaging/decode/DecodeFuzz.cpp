// Fuzz target of the whole decode entry point: any bytes, no crash, no hang,
// no leak, and the sink contract holds (asked at most once; a decode that
// succeeds was asked exactly once, for a size it could hold).
// Built with SNAPWELL_FUZZ_FORMAT set to one format, it decodes only inputs
// that announce that format, so a whole run goes to that format's decoder.
#include <cstdlib>
#include <vector>

#include "imaging/isource/decode/Decode.h"

namespace {

// Holds pictures up to 16 megapixels, so that a declared size alone cannot
// run the fuzzer out of memory; larger ones are refused as a caller short
// of memory would.
class CappedSink : public isource::PixelSink {
public:
    uint8_t* Allocate(int32_t width, int32_t height) override {
        ++m_nCalls;
        if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > (16 << 20))
            return nullptr;
        m_vPixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
        return m_vPixels.data();
    }
    int m_nCalls = 0;
    std::vector<uint8_t> m_vPixels;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
#ifdef SNAPWELL_FUZZ_FORMAT
    if (isource::GuessFormat(data, size) != isource::ImageFormat::SNAPWELL_FUZZ_FORMAT)
        return 0;
#endif
    CappedSink sink;
    const isource::DecodeStatus status = isource::DecodeImage(data, size, sink);
    if (sink.m_nCalls > 1)
        std::abort();
    if (status == isource::DecodeStatus::Ok && (sink.m_nCalls != 1 || sink.m_vPixels.empty()))
        std::abort();
    return 0;
}

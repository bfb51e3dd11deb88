#include "imaging/isource/pixels/Bands.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace isource {
namespace {

constexpr unsigned kMaxBands = 4;

unsigned BandCount(int32_t count, int64_t bytes) {
    if (bytes < kBandMinBytes || count < 2)
        return 1;
    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    return std::min({processors, kMaxBands, unsigned(count)});
}

} // namespace

void ForEachBand(int32_t count, int64_t bytes, const std::function<void(int32_t, int32_t)>& body) {
    const unsigned bands = BandCount(count, bytes);
    auto bandBegin = [&](unsigned i) { return int32_t(int64_t{count} * i / bands); };
    std::vector<std::exception_ptr> failures(bands);
    auto run = [&](unsigned i) {
        try {
            body(bandBegin(i), bandBegin(i + 1));
        } catch (...) {
            failures[i] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    helpers.reserve(bands);
    unsigned i = 1;
    try {
        for (; i < bands; ++i)
            helpers.emplace_back(run, i);
    } catch (const std::system_error&) {
        // No more threads to be had: the calling thread does the rest.
    }
    run(0);
    for (unsigned rest = i; rest < bands; ++rest)
        run(rest);
    for (std::thread& t : helpers)
        t.join();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

void PrepareBuffer(uint8_t* buffer, size_t bytes) {
    constexpr size_t kPage = 4096;
    const size_t pages = (bytes + kPage - 1) / kPage;
    if (buffer == nullptr || pages > size_t(INT32_MAX))
        return;
    ForEachBand(int32_t(pages), int64_t(bytes), [&](int32_t begin, int32_t end) {
        for (int32_t page = begin; page < end; ++page)
            buffer[size_t(page) * kPage] = 0;
    });
}

} // namespace isource

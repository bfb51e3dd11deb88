// The shape both readers' hand-made tests share: a table of files that must
// decode to a stated picture and a table of files that must be refused
// without the reader asking for a picture, each case named for gtest.
#pragma once

#include "ReaderTestSupport.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace readertest {

using Reader = isource::DecodeStatus (*)(const uint8_t* data, size_t size, isource::PixelSink& sink);

struct Decoded {
    isource::DecodeStatus status;
    PictureSink sink;
};

inline Decoded DecodeWith(Reader read, const std::vector<uint8_t>& bytes) {
    Decoded d{isource::DecodeStatus::Ok, PictureSink()};
    d.status = read(bytes.data(), bytes.size(), d.sink);
    return d;
}

// A file described by a reader's own Spec, and the picture it must give.
template <typename Spec> struct GoodCase {
    const char* name;
    Spec spec;
    Picture expected;
};

struct BadCase {
    const char* name;
    std::vector<uint8_t> bytes;
    isource::DecodeStatus expected;
};

template <typename Spec> void PrintTo(const GoodCase<Spec>& c, std::ostream* os) {
    *os << c.name;
}
inline void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

template <typename Case> std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// One picture asked for, of the expected size and samples.
inline void ExpectPicture(const Decoded& d, const Picture& expected) {
    ASSERT_EQ(d.status, isource::DecodeStatus::Ok);
    EXPECT_EQ(d.sink.allocations, 1);
    EXPECT_EQ(d.sink.picture.width, expected.width);
    EXPECT_EQ(d.sink.picture.height, expected.height);
    EXPECT_EQ(d.sink.picture.rgb, expected.rgb);
}

inline void ExpectRefused(const Decoded& d, isource::DecodeStatus expected) {
    EXPECT_EQ(d.status, expected);
    EXPECT_EQ(d.sink.allocations, 0);
}

} // namespace readertest

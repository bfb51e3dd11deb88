// The EXIF block every written JPEG carries: it says sRGB and upright, keeps
// the photo's date, offset, make and model as read back by the library's
// own reader, and holds nothing else (no location, no thumbnail).
#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/isource/decode/Exif.h"
#include "imaging/isource/encode/ExifBlock.h"

namespace {

// Every tag of a little-endian directory chain, following the EXIF and GPS
// pointers; `directories` counts the directories seen.
void Tags(const std::vector<uint8_t>& t, size_t ifd, std::vector<uint16_t>& tags, int& directories) {
    auto u16 = [&](size_t at) { return uint16_t(t[at] | t[at + 1] << 8); };
    auto u32 = [&](size_t at) { return uint32_t(u16(at) | uint32_t(u16(at + 2)) << 16); };
    while (ifd != 0 && ifd + 2 <= t.size()) {
        ++directories;
        const size_t n = u16(ifd);
        for (size_t i = 0; i < n; ++i) {
            const size_t e = ifd + 2 + i * 12;
            tags.push_back(u16(e));
            if (u16(e) == 0x8769 || u16(e) == 0x8825)
                Tags(t, u32(e + 8), tags, directories);
        }
        ifd = u32(ifd + 2 + n * 12);
    }
}

TEST(ExifBlock, SaysSrgbAndUprightAndKeepsOnlyThePhotosFacts) {
    isource::PhotoInfo full;
    full.dateTimeOriginal = "2024:02:29 23:59:58";
    full.offsetTimeOriginal = "-05:30";
    full.make = "Make";
    full.model = "A model of eleven";
    for (const isource::PhotoInfo& info : {full, isource::PhotoInfo()}) {
        const std::vector<uint8_t> block = isource::MakeExifBlock(info);
        ASSERT_GT(block.size(), 6u);
        const isource::PhotoInfo back = isource::ReadExifPhotoInfo(block.data(), block.size());
        EXPECT_EQ(back.dateTimeOriginal, info.dateTimeOriginal);
        EXPECT_EQ(back.offsetTimeOriginal, info.offsetTimeOriginal);
        EXPECT_EQ(back.make, info.make);
        EXPECT_EQ(back.model, info.model);
        EXPECT_EQ(isource::ExifOrientation(block.data(), block.size()), 1);

        const std::vector<uint8_t> tiff(block.begin() + 6, block.end());
        std::vector<uint16_t> tags;
        int directories = 0;
        Tags(tiff, 8, tags, directories);
        EXPECT_EQ(directories, 2) << "the first directory and the EXIF one; no thumbnail";
        for (uint16_t tag : tags)
            EXPECT_NE(tag, 0x8825) << "a GPS directory";
        // ColorSpace (0xA001), one SHORT of value 1: sRGB.
        const std::vector<uint8_t> colourSpace = {0x01, 0xA0, 3, 0, 1, 0, 0, 0, 1, 0};
        EXPECT_NE(std::search(tiff.begin(), tiff.end(), colourSpace.begin(), colourSpace.end()), tiff.end());
    }
}

} // namespace

// The imaging library as the program finds it: loaded by file name, with
// every entry point under its undecorated name, and doing the real work
// behind them: a corpus picture read, turned, cut, scaled, written and read
// back through the entry points alone.
#include "imaging/isource/ISource.h"

#include "harness/TempFolder.h"
#include "imaging/ImagingTestFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

using imagingtest::Corpus;
using imagingtest::ReadPpm;
using imagingtest::Rgb;

namespace {

struct Library {
    HMODULE module = LoadLibraryA("_ISource30.dll");
#define IS3_MEMBER(name, result, params)                                                                     \
    IS3##name##_t name =                                                                                     \
        module ? reinterpret_cast<IS3##name##_t>(GetProcAddress(module, "_IS3" #name)) : nullptr;
    IS3_ENTRY_POINTS(IS3_MEMBER)
#undef IS3_MEMBER
};

const Library& Lib() {
    static Library lib;
    return lib;
}

// A picture read through the entry points, the block copied out and freed.
bool Read(const std::string& path, Rgb& out) {
    IS3Source source = Lib().OpenFileSource(path.c_str());
    if (source == nullptr)
        return false;
    uint32_t w = 0, h = 0;
    HGLOBAL block = static_cast<HGLOBAL>(Lib().ReadImageToRGB(source, &w, &h));
    Lib().CloseSource(source);
    if (block == nullptr)
        return false;
    out.width = int32_t(w);
    out.height = int32_t(h);
    out.pixels.resize(size_t(w) * h * 3);
    EXPECT_GE(GlobalSize(block), out.pixels.size());
    std::memcpy(out.pixels.data(), GlobalLock(block), out.pixels.size());
    GlobalUnlock(block);
    GlobalFree(block);
    return true;
}

} // namespace

TEST(ImagingLibrary, LoadsAndExportsItsEntryPoints) {
    ASSERT_NE(Lib().module, nullptr) << "error " << GetLastError();
#define IS3_CHECK(name, result, params)                                                                      \
    EXPECT_NE(GetProcAddress(Lib().module, "_IS3" #name), nullptr) << "_IS3" #name;                          \
    EXPECT_EQ(GetProcAddress(Lib().module, "IS3" #name), nullptr) << "IS3" #name;
    IS3_ENTRY_POINTS(IS3_CHECK)
#undef IS3_CHECK
#ifndef _WIN64
    // i686 only: inside the library the stdcall functions carry their
    // decoration (IS3Initialize@0); that name must not be what the program
    // has to ask for. x86_64 has no decorations, and the bare names are
    // checked absent above on both.
    EXPECT_EQ(GetProcAddress(Lib().module, "IS3Initialize@0"), nullptr);
#endif
    EXPECT_NE(Lib().Initialize(), 0u);
    EXPECT_EQ(Lib().GetLibVersion(), kIS3LibVersion);
    EXPECT_NE(Lib().SetHBITMAPCreateMethod(kIS3BitmapCompatible), 0u);
}

TEST(ImagingLibrary, ReadsACorpusPictureAsItsReferenceShows) {
    Rgb ref, got;
    ASSERT_TRUE(ReadPpm(Corpus("jpeg_baseline_420.jpg.ref.ppm"), ref));
    ASSERT_TRUE(Read(Corpus("jpeg_baseline_420.jpg"), got));
    ASSERT_EQ(got.width, 160);
    ASSERT_EQ(got.height, 120);
    EXPECT_GT(imagingtest::Psnr(got.pixels.data(), ref.pixels.data(), ref.pixels.size()), 35.0);

    // A phone picture stored on its side arrives upright.
    ASSERT_TRUE(ReadPpm(Corpus("jpeg_exif_orient6.jpg.ref.ppm"), ref));
    ASSERT_TRUE(Read(Corpus("jpeg_exif_orient6.jpg"), got));
    EXPECT_EQ(got.width, ref.width);
    EXPECT_EQ(got.height, ref.height);
}

TEST(ImagingLibrary, TellsTheFormatByContentAndKeepsThePosition) {
    IS3Source source = Lib().OpenFileSource(Corpus("MixedCase.Png").c_str());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(Lib().GuessFileType(source), uint32_t(kIS3FilePng));
    EXPECT_NE(Lib().Seek(source, 0, 0), 0u);
    uint32_t w = 0, h = 0;
    HGLOBAL block = static_cast<HGLOBAL>(Lib().ReadImageToRGB(source, &w, &h));
    EXPECT_NE(block, nullptr);
    GlobalFree(block);
    Lib().CloseSource(source);

    source = Lib().OpenFileSource(Corpus("jpeg_444.jpg").c_str());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(Lib().GuessFileType(source), uint32_t(kIS3FileJpeg));
    Lib().CloseSource(source);
}

TEST(ImagingLibrary, ReportsWhatItCannotRead) {
    TempFolder folder;
    EXPECT_EQ(Lib().OpenFileSource(folder.File("missing.jpg").c_str()), nullptr);
    EXPECT_EQ(Lib().GetLastError(), uint32_t(kIS3CannotOpen));
    EXPECT_EQ(Lib().OpenFileSource(""), nullptr);

    struct Case {
        const char* name;
        std::string bytes;
        IS3Error error;
    };
    const std::string jpeg = imagingtest::ReadFileBytes(Corpus("jpeg_444.jpg"));
    ASSERT_GT(jpeg.size(), 1000u);
    const Case cases[] = {
        {"text.jpg", "Just some words, not a picture at all.", kIS3UnknownFormat},
        {"empty.png", "", kIS3UnknownFormat},
        {"truncated.jpg", jpeg.substr(0, jpeg.size() / 2), kIS3Corrupt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(imagingtest::WriteFileBytes(folder.File(c.name), c.bytes));
        IS3Source source = Lib().OpenFileSource(folder.File(c.name).c_str());
        ASSERT_NE(source, nullptr);
        uint32_t w = 7, h = 7;
        EXPECT_EQ(Lib().ReadImageToRGB(source, &w, &h), nullptr);
        EXPECT_EQ(Lib().GetLastError(), uint32_t(c.error));
        Lib().CloseSource(source);
    }
}

TEST(ImagingLibrary, TurnsCutsScalesWritesAndReadsBack) {
    TempFolder folder;
    Rgb src;
    ASSERT_TRUE(Read(Corpus("jpeg_baseline_420.jpg"), src));
    const uint32_t bpp = 3;

    // 160x120 turned right is 120x160: the bottom-left pixel comes to the top left.
    std::vector<uint8_t> turned(src.pixels.size());
    ASSERT_NE(
        Lib().QuickRotateImage(src.pixels.data(), 160, 120, 160 * bpp, turned.data(), 120 * bpp, 0, bpp), 0u);
    EXPECT_EQ(0, std::memcmp(turned.data(), &src.pixels[size_t(119) * 160 * 3], 3));

    // Cut rows 10..150 and columns 20..100 of the turned picture.
    const int32_t rect[4] = {20, 10, 100, 150};
    std::vector<uint8_t> cut(size_t(80) * 140 * 3);
    ASSERT_NE(Lib().CropImage(turned.data(), 120, 160, 120 * bpp, cut.data(), 80 * bpp, rect, bpp), 0u);
    EXPECT_EQ(0, std::memcmp(cut.data(), &turned[(size_t(10) * 120 + 20) * 3], 80 * 3));

    std::vector<uint8_t> small(size_t(40) * 70 * 3);
    ASSERT_NE(Lib().ResizeImage(cut.data(), 80, 140, 80 * bpp, small.data(), 40, 70, 40 * bpp, bpp), 0u);

    const std::string out = folder.File("copy.jpg");
    IS3Dest dest = Lib().OpenFileDest(out.c_str(), 0);
    ASSERT_NE(dest, nullptr);
    EXPECT_NE(Lib().WriteJPG(dest, small.data(), 40, 70, 100, 24, nullptr, 0), 0u);
    EXPECT_NE(Lib().CloseDest(dest), 0u);

    Rgb back;
    ASSERT_TRUE(Read(out, back));
    ASSERT_EQ(back.width, 40);
    ASSERT_EQ(back.height, 70);
    EXPECT_GT(imagingtest::Psnr(back.pixels.data(), small.data(), small.size()), 40.0);

    // Refusals set the last error.
    EXPECT_EQ(Lib().QuickRotateImage(src.pixels.data(), 160, 120, 480, turned.data(), 360, 3, bpp), 0u);
    EXPECT_EQ(Lib().GetLastError(), uint32_t(kIS3BadArgument));
    EXPECT_EQ(Lib().ResizeImage(cut.data(), 80, 140, 240, small.data(), 0, 70, 120, bpp), 0u);
    const int32_t outside[4] = {200, 0, 300, 10};
    EXPECT_EQ(Lib().CropImage(turned.data(), 120, 160, 360, cut.data(), 240, outside, bpp), 0u);
    EXPECT_EQ(Lib().GetLastError(), uint32_t(kIS3BadArgument));
}

TEST(ImagingLibrary, WritingReportsFailure) {
    const std::vector<uint8_t> grey(size_t(64) * 48 * 3, 99);
    // A full device takes the file but not its bytes (under Wine, the host's
    // /dev/full is reachable through drive Z:).
    IS3Dest full = Lib().OpenFileDest("Z:\\dev\\full", 0);
    const bool underWine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    if (underWine) {
        ASSERT_NE(full, nullptr);
    }
    if (full != nullptr) {
        const uint32_t written = Lib().WriteJPG(full, grey.data(), 64, 48, 100, 24, nullptr, 0);
        const uint32_t closed = Lib().CloseDest(full);
        EXPECT_TRUE(written == 0 || closed == 0);
    }
    TempFolder folder;
    IS3Dest dest = Lib().OpenFileDest(folder.File("wide.jpg").c_str(), 0);
    ASSERT_NE(dest, nullptr);
    std::vector<uint8_t> wide(size_t(70000) * 3, 1);
    EXPECT_EQ(Lib().WriteJPG(dest, wide.data(), 70000, 1, 100, 24, nullptr, 0), 0u);
    EXPECT_EQ(Lib().GetLastError(), uint32_t(kIS3CannotEncode));
    Lib().CloseDest(dest);
    EXPECT_EQ(Lib().OpenFileDest(folder.File("no-such-folder\\x.jpg").c_str(), 0), nullptr);
    EXPECT_EQ(Lib().GetLastError(), uint32_t(kIS3CannotOpen));
}

TEST(ImagingLibrary, MakesBitmapsWithThePicturesPixels) {
    Rgb src;
    ASSERT_TRUE(Read(Corpus("odd_17x13.jpg"), src));
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    for (uint32_t method : {uint32_t(kIS3BitmapCompatible), uint32_t(kIS3BitmapDibSection)}) {
        SCOPED_TRACE(method);
        ASSERT_NE(Lib().SetHBITMAPCreateMethod(method), 0u);
        HBITMAP bitmap = static_cast<HBITMAP>(Lib().RGBToHBITMAP(src.pixels.data(), uint32_t(src.width),
                                                                 uint32_t(src.height), nullptr, screen));
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        ASSERT_NE(GetObjectA(bitmap, sizeof info, &info), 0);
        EXPECT_EQ(info.bmWidth, src.width);
        EXPECT_EQ(info.bmHeight, src.height);

        // Read back as top-down 32-bit rows: bytes B, G, R, x.
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = src.width;
        bi.bmiHeader.biHeight = -src.height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        std::vector<uint8_t> bits(size_t(src.width) * src.height * 4);
        ASSERT_EQ(GetDIBits(screen, bitmap, 0, UINT(src.height), bits.data(), &bi, DIB_RGB_COLORS),
                  src.height);
        for (int32_t i = 0; i < src.width * src.height; ++i) {
            ASSERT_EQ(bits[size_t(i) * 4 + 2], src.pixels[size_t(i) * 3]) << i;
            ASSERT_EQ(bits[size_t(i) * 4 + 1], src.pixels[size_t(i) * 3 + 1]) << i;
            ASSERT_EQ(bits[size_t(i) * 4 + 0], src.pixels[size_t(i) * 3 + 2]) << i;
        }
        DeleteObject(bitmap);
    }
    Lib().SetHBITMAPCreateMethod(kIS3BitmapCompatible);
    ReleaseDC(nullptr, screen);
}

// ReadImageToRGBEx: the same picture as ReadImageToRGB, also in a reused
// block full of another picture; a limit below the picture refuses it from
// its header with its size told; a cancel flag already set stops it. A
// refused or stopped read frees the block it was given.
TEST(ImagingLibrary, ReadsWithALimitACancelAndABlockToReuse) {
    const std::string path = Corpus("jpeg_422.jpg"); // 157 x 118
    Rgb plain;
    ASSERT_TRUE(Read(path, plain));
    const size_t bytes = plain.pixels.size();
    const auto stale = [](size_t n) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, n);
        std::memset(GlobalLock(block), 0xA5, n);
        GlobalUnlock(block);
        return block;
    };
    const volatile int32_t zero = 0, one = 1;
    const struct {
        uint32_t maxBytes;
        const volatile int32_t* cancel;
        size_t reuseBytes; // 0: none
        uint32_t error;    // kIS3Ok: read
    } cases[] = {
        {0, nullptr, 0, kIS3Ok},
        {uint32_t(bytes), &zero, bytes, kIS3Ok},
        {0, nullptr, bytes + 5000, kIS3Ok},
        {0, nullptr, bytes / 2, kIS3Ok}, // too small: a fresh block
        {uint32_t(bytes - 1), nullptr, bytes, kIS3OverLimit},
        {0, &one, bytes, kIS3Cancelled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error * 1000 + c.reuseBytes);
        IS3Source source = Lib().OpenFileSource(path.c_str());
        ASSERT_NE(source, nullptr);
        const IS3ReadOptions options{sizeof(IS3ReadOptions), c.maxBytes, c.cancel,
                                     c.reuseBytes ? stale(c.reuseBytes) : nullptr};
        uint32_t w = 0, h = 0;
        HGLOBAL block = static_cast<HGLOBAL>(Lib().ReadImageToRGBEx(source, &w, &h, &options));
        EXPECT_EQ(Lib().GetLastError(), c.error);
        Lib().CloseSource(source);
        if (c.error == kIS3Cancelled) {
            EXPECT_EQ(block, nullptr);
        } else {
            EXPECT_EQ(w, 157u);
            EXPECT_EQ(h, 118u);
        }
        // The block given is the result when it fits, else freed.
        if (c.error == kIS3Ok && c.reuseBytes >= bytes) {
            EXPECT_EQ(block, options.reuse);
        } else if (c.reuseBytes != 0 && block != options.reuse) {
            EXPECT_EQ(GlobalSize(options.reuse), 0u);
        }
        if (c.error != kIS3Ok) {
            EXPECT_EQ(block, nullptr);
            continue;
        }
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(std::memcmp(GlobalLock(block), plain.pixels.data(), bytes), 0);
        GlobalUnlock(block);
        GlobalFree(block);
    }
}

// A cut of a larger picture written where it lies (its rows a stride
// apart) is the same file as the cut copied out and written packed.
TEST(ImagingLibrary, WritesACutWhereItLies) {
    TempFolder folder;
    Rgb src;
    ASSERT_TRUE(Read(Corpus("jpeg_baseline_420.jpg"), src)); // 160 x 120
    const int32_t left = 13, top = 7, w = 101, h = 77;
    std::vector<uint8_t> packed(size_t(w) * h * 3);
    for (int32_t y = 0; y < h; ++y)
        std::memcpy(&packed[size_t(y) * w * 3], &src.pixels[(size_t(top + y) * 160 + left) * 3],
                    size_t(w) * 3);
    const auto write = [&](const std::string& name, const uint8_t* pixels, uint32_t stride) {
        IS3Dest dest = Lib().OpenFileDest(folder.File(name).c_str(), 0);
        EXPECT_NE(Lib().WriteJPG(dest, pixels, w, h, 100, 24, nullptr, stride), 0u);
        Lib().CloseDest(dest);
        return imagingtest::ReadFileBytes(folder.File(name));
    };
    const std::string whole = write("packed.jpg", packed.data(), 0);
    ASSERT_GT(whole.size(), 1000u);
    EXPECT_TRUE(write("strided.jpg", &src.pixels[(size_t(top) * 160 + left) * 3], 160 * 3) == whole);
    // A stride shorter than a row is refused.
    IS3Dest dest = Lib().OpenFileDest(folder.File("bad.jpg").c_str(), 0);
    EXPECT_EQ(Lib().WriteJPG(dest, packed.data(), w, h, 100, 24, nullptr, w * 3 - 1), 0u);
    EXPECT_EQ(Lib().GetLastError(), uint32_t(kIS3BadArgument));
    Lib().CloseDest(dest);
}

// A bitmap no longer shown takes the next picture of its size (the same
// handle, the new pixels); one of another size is deleted and a new one made.
TEST(ImagingLibrary, RefillsABitmapOfTheSameSize) {
    Rgb a, b;
    ASSERT_TRUE(Read(Corpus("jpeg_422.jpg"), a)); // 157 x 118
    ASSERT_TRUE(Read(Corpus("jpeg_444.jpg"), b)); // 157 x 118, other pixels
    HDC screen = GetDC(nullptr);
    ASSERT_NE(Lib().SetHBITMAPCreateMethod(kIS3BitmapCompatible), 0u);
    const auto make = [&](const Rgb& p, HBITMAP reuse) {
        return static_cast<HBITMAP>(
            Lib().RGBToHBITMAP(p.pixels.data(), uint32_t(p.width), uint32_t(p.height), reuse, screen));
    };
    const auto pixel = [&](HBITMAP bitmap, int x, int y) {
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, bitmap);
        const COLORREF c = GetPixel(memory, x, y);
        SelectObject(memory, old);
        DeleteDC(memory);
        return c;
    };
    const auto rgb = [](const Rgb& p, int x, int y) {
        const uint8_t* s = &p.pixels[(size_t(y) * p.width + x) * 3];
        return RGB(s[0], s[1], s[2]);
    };
    HBITMAP first = make(a, nullptr);
    ASSERT_NE(first, nullptr);
    HBITMAP refilled = make(b, first);
    EXPECT_EQ(refilled, first);
    for (const POINT& p : {POINT{0, 0}, POINT{156, 117}, POINT{77, 40}})
        EXPECT_EQ(pixel(refilled, p.x, p.y), rgb(b, p.x, p.y)) << p.x << "," << p.y;

    Rgb small;
    ASSERT_TRUE(Read(Corpus("odd_17x13.jpg"), small));
    HBITMAP other = make(small, refilled);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(GetObjectType(refilled), 0u) << "the bitmap of another size is deleted";
    BITMAP info{};
    ASSERT_NE(GetObjectA(other, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 17);
    EXPECT_EQ(pixel(other, 5, 6), rgb(small, 5, 6));
    DeleteObject(other);
    ReleaseDC(nullptr, screen);
}

// The image object end to end under Wine: the real library beside the test
// program, real files in a scratch folder.
#include "imaging/Cimage.h"
#include "imaging/ImagingLibrary.h"

#include "imaging/decode/ExifBuilder.h"
#include "harness/TempFolder.h"
#include "imaging/ImagingTestFiles.h"
#include "imaging/JpegMarkers.h"
#include "imaging/isource/decode/Exif.h"
#include "imaging/isource/encode/ExifBlock.h"

#include <gtest/gtest.h>

#include <cstring>

using imagingtest::Corpus;
using imagingtest::ReadPpm;
using imagingtest::Rgb;

namespace {

class CimageTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(InitImaging()); }

    // A 100 x 80 picture whose every pixel tells its place: R = x, G = y,
    // B = x ^ y.
    static void Gradient(CImage& image, int32_t w = 100, int32_t h = 80) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size_t(w) * h * 3);
        ASSERT_NE(block, nullptr);
        auto* p = static_cast<uint8_t*>(GlobalLock(block));
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                uint8_t* px = p + (size_t(y) * w + x) * 3;
                px[0] = uint8_t(x);
                px[1] = uint8_t(y);
                px[2] = uint8_t(x ^ y);
            }
        GlobalUnlock(block);
        ASSERT_TRUE(image.CopyFromMemory(block, w, h));
        GlobalFree(block);
    }

    static const uint8_t* Pixel(const CImage& image, int32_t x, int32_t y) {
        return image.Pixels() + (size_t(y) * image.Width() + x) * 3;
    }

    static std::vector<uint8_t> Bytes(const CImage& image) {
        return {image.Pixels(), image.Pixels() + size_t(image.Width()) * image.Height() * 3};
    }
};

} // namespace

TEST_F(CimageTest, InitImagingFillsTheExtensionsInOrder) {
    const std::vector<std::string> want = {"tif", "tiff", "jpg", "jpeg", "bmp", "psd", "png"};
    EXPECT_EQ(g_ImageExtensions, want);
    EXPECT_TRUE(InitImaging()); // a second call changes nothing
    EXPECT_EQ(g_ImageExtensions, want);
}

TEST_F(CimageTest, StartsEmptyAndLoadsACorpusPicture) {
    CImage image;
    EXPECT_FALSE(image.HasPicture());
    EXPECT_EQ(image.BytesPerPixel(), 1);
    EXPECT_EQ(image.BitsPerPixel(), 0);
    EXPECT_EQ(image.CreateBitmap(nullptr), nullptr);

    ASSERT_TRUE(image.Load(Corpus("PHOTO.JPG")));
    EXPECT_EQ(image.Width(), 140);
    EXPECT_EQ(image.Height(), 92);
    EXPECT_EQ(image.BytesPerPixel(), 3);
    EXPECT_EQ(image.BitsPerPixel(), 24);
    Rgb ref;
    ASSERT_TRUE(ReadPpm(Corpus("PHOTO.JPG.ref.ppm"), ref));
    EXPECT_GT(imagingtest::Psnr(image.Pixels(), ref.pixels.data(), ref.pixels.size()), 35.0);

    // Lossless formats arrive exactly as their references.
    ASSERT_TRUE(image.Load(Corpus("MixedCase.Png")));
    ASSERT_TRUE(ReadPpm(Corpus("MixedCase.Png.ref.ppm"), ref));
    ASSERT_EQ(image.Width(), ref.width);
    EXPECT_EQ(Bytes(image), ref.pixels);

    // A load that fails leaves the object empty.
    EXPECT_FALSE(image.Load(Corpus("no-such-file.jpg")));
    EXPECT_FALSE(image.HasPicture());
    ASSERT_TRUE(image.Load(Corpus("PAINT.BMP")));
    EXPECT_FALSE(image.Load(""));
    EXPECT_FALSE(image.HasPicture());
}

TEST_F(CimageTest, RotateTurnsAndExchangesSides) {
    CImage image;
    Gradient(image);
    ASSERT_TRUE(image.Rotate(1));
    EXPECT_EQ(image.Width(), 100);
    EXPECT_EQ(image.Height(), 80);
    EXPECT_EQ(Pixel(image, 0, 0)[0], 99);
    EXPECT_EQ(Pixel(image, 0, 0)[1], 79);

    ASSERT_TRUE(image.Rotate(0)); // now 80 x 100: the old bottom-left is top-left
    EXPECT_EQ(image.Width(), 80);
    EXPECT_EQ(image.Height(), 100);
    EXPECT_EQ(Pixel(image, 0, 0)[0], 99);
    EXPECT_EQ(Pixel(image, 0, 0)[1], 0);

    ASSERT_TRUE(image.Rotate(2));
    EXPECT_EQ(image.Width(), 100);
    EXPECT_EQ(image.Height(), 80);
    EXPECT_EQ(Pixel(image, 0, 0)[0], 99);
    EXPECT_EQ(Pixel(image, 0, 0)[1], 79);

    const std::vector<uint8_t> before = Bytes(image);
    EXPECT_FALSE(image.Rotate(3));
    EXPECT_EQ(Bytes(image), before);
    EXPECT_EQ(image.Width(), 100);
}

TEST_F(CimageTest, CropCutsOnlyWhatIsInsideAndSmaller) {
    struct Case {
        int32_t l, t, r, b;
        bool cut;
        int32_t w, h, x0, y0;
    };
    const Case cases[] = {
        {-10, -10, 50, 40, true, 50, 40, 0, 0},   {10, 20, 1000, 1000, true, 90, 60, 10, 20},
        {0, 0, 100, 40, true, 100, 40, 0, 0},     {0, 0, 100, 80, false, 100, 80, 0, 0},
        {-5, -5, 200, 200, false, 100, 80, 0, 0}, {50, 10, 50, 40, false, 100, 80, 0, 0},
        {50, 10, 40, 40, false, 100, 80, 0, 0},   {10, 30, 60, 30, false, 100, 80, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.l << "," << c.t << "," << c.r << "," << c.b);
        CImage image;
        Gradient(image);
        EXPECT_EQ(image.Crop(c.l, c.t, c.r, c.b), c.cut);
        ASSERT_EQ(image.Width(), c.w);
        ASSERT_EQ(image.Height(), c.h);
        for (int32_t y = 0; y < c.h; y += 7)
            for (int32_t x = 0; x < c.w; x += 5) {
                ASSERT_EQ(Pixel(image, x, y)[0], c.x0 + x);
                ASSERT_EQ(Pixel(image, x, y)[1], c.y0 + y);
            }
    }
}

TEST_F(CimageTest, ResizeScalesAndRefusesAZeroSide) {
    CImage image;
    Gradient(image);
    const std::vector<uint8_t> before = Bytes(image);
    EXPECT_FALSE(image.Resize(0, 100));
    EXPECT_FALSE(image.Resize(100, 0));
    EXPECT_EQ(Bytes(image), before);
    ASSERT_TRUE(image.Resize(100, 80)); // unchanged size: an exact copy
    EXPECT_EQ(Bytes(image), before);
    ASSERT_TRUE(image.Resize(50, 40));
    EXPECT_EQ(image.Width(), 50);
    EXPECT_EQ(image.Height(), 40);
    // The red ramp x keeps its slope: output x samples source 2x + 0.5.
    EXPECT_NEAR(Pixel(image, 20, 20)[0], 40.5, 1.0);
}

TEST_F(CimageTest, AddShadowGrowsThePictureAndKeepsItUnblurred) {
    CImage image;
    Gradient(image);
    const std::vector<uint8_t> before = Bytes(image);
    ASSERT_TRUE(image.AddShadow(0x00FFFFFF, 5));
    ASSERT_EQ(image.Width(), 105);
    ASSERT_EQ(image.Height(), 85);
    for (int32_t y = 0; y < 80; ++y)
        ASSERT_EQ(0, std::memcmp(Pixel(image, 0, y), &before[size_t(y) * 100 * 3], 100 * 3)) << y;
    // Dark next to the picture, near the colour at the outer corner.
    EXPECT_LT(Pixel(image, 100, 40)[0], Pixel(image, 104, 40)[0]);
    EXPECT_GT(Pixel(image, 104, 84)[1], 128);
}

TEST_F(CimageTest, IsImageExtensionIgnoresCaseAndOneDot) {
    const struct {
        const char* ext;
        bool image;
    } cases[] = {{".JPG", true},   {"jpeg", true}, {"Tif", true},   {"TIFF", true},  {".png", true},
                 {"bmp", true},    {".Psd", true}, {"gif", false},  {".", false},    {"", false},
                 {"..jpg", false}, {"jp", false},  {"jpgx", false}, {" jpg", false}, {"jpg.", false}};
    for (const auto& c : cases)
        EXPECT_EQ(CImage::IsImageExtension(c.ext), c.image) << '"' << c.ext << '"';
}

TEST_F(CimageTest, WriteJpegCropsScalesAndWritesTheCopy) {
    TempFolder folder;
    CImage image;
    ASSERT_TRUE(image.Load(Corpus("jpeg_baseline_420.jpg")));
    CImage reference;
    ASSERT_TRUE(reference.Load(Corpus("jpeg_baseline_420.jpg")));
    ASSERT_TRUE(reference.Crop(10, 20, 130, 110));

    // Copy size equal to the crop: no resizing, the object keeps the crop.
    const std::string same = folder.File("same.jpg");
    ASSERT_TRUE(image.WriteJpeg(same, 120, 90, 10, 20, 130, 110, -1, 100, 0, 0));
    EXPECT_EQ(image.Width(), 120);
    EXPECT_EQ(image.Height(), 90);
    EXPECT_EQ(Bytes(image), Bytes(reference));
    CImage back;
    ASSERT_TRUE(back.Load(same));
    ASSERT_EQ(back.Width(), 120);
    ASSERT_EQ(back.Height(), 90);
    EXPECT_GT(imagingtest::Psnr(back.Pixels(), reference.Pixels(), size_t(120) * 90 * 3), 40.0);

    // A smaller copy: cut and scaled, the very pixels of Crop then Resize.
    ASSERT_TRUE(image.Load(Corpus("jpeg_baseline_420.jpg")));
    ASSERT_TRUE(image.WriteJpeg(folder.File("scaled.jpg"), 50, 37, 10, 20, 130, 110, -1, 100, 0, 0));
    ASSERT_TRUE(reference.Resize(50, 37));
    EXPECT_EQ(Bytes(image), Bytes(reference));

    // A smaller copy, turned left inside WriteJpeg.
    const std::string small = folder.File("small.jpg");
    ASSERT_TRUE(image.Load(Corpus("jpeg_baseline_420.jpg")));
    ASSERT_TRUE(image.WriteJpeg(small, 60, 45, 10, 20, 130, 110, 2, 90, 0, 0));
    ASSERT_TRUE(back.Load(small));
    EXPECT_EQ(back.Width(), 45);
    EXPECT_EQ(back.Height(), 60);

    // Only the finished copies are left in the folder.
    std::vector<std::string> files = folder.List();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"same.jpg", "scaled.jpg", "small.jpg"}));
}

TEST_F(CimageTest, WriteJpegReplacesAnExistingCopy) {
    TempFolder folder;
    const std::string target = folder.File("copy.jpg");
    ASSERT_TRUE(imagingtest::WriteFileBytes(target, "an older copy"));
    CImage image;
    Gradient(image);
    ASSERT_TRUE(image.WriteJpeg(target, 100, 80, 0, 0, 100, 80, -1, 100, 0, 0));
    CImage back;
    ASSERT_TRUE(back.Load(target));
    EXPECT_EQ(back.Width(), 100);
    EXPECT_EQ(folder.List().size(), 1u);
}

TEST_F(CimageTest, AFailedWriteReportsFalseAndKeepsTheExistingCopy) {
    TempFolder folder;
    const std::string target = folder.File("copy.jpg");
    const std::string old = "the copy made yesterday";
    ASSERT_TRUE(imagingtest::WriteFileBytes(target, old));

    // A picture wider than a JPEG can be: the writer fails half-way.
    CImage wide;
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[size_t(70000) * 2 * 3]());
    wide.Attach(std::move(pixels), 70000, 2);
    EXPECT_FALSE(wide.WriteJpeg(target, 70000, 2, 0, 0, 70000, 2, -1, 100, 0, 0));
    EXPECT_EQ(imagingtest::ReadFileBytes(target), old);
    EXPECT_EQ(folder.List(), std::vector<std::string>{"copy.jpg"});

    // A read-only copy is not replaced.
    const std::string locked = folder.File("locked.jpg");
    ASSERT_TRUE(imagingtest::WriteFileBytes(locked, old));
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    CImage image;
    Gradient(image);
    EXPECT_FALSE(image.WriteJpeg(locked, 100, 80, 0, 0, 100, 80, -1, 100, 0, 0));
    EXPECT_EQ(imagingtest::ReadFileBytes(locked), old);

    // A target that cannot be replaced (a folder of that name).
    ASSERT_TRUE(CreateDirectoryA(folder.File("taken.jpg").c_str(), nullptr));
    EXPECT_FALSE(image.WriteJpeg(folder.File("taken.jpg"), 100, 80, 0, 0, 100, 80, -1, 100, 0, 0));
    EXPECT_EQ(GetFileAttributesA(folder.File("taken.jpg").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              DWORD(FILE_ATTRIBUTE_DIRECTORY));

    // A folder that does not exist: nothing can be opened, nothing changes.
    EXPECT_FALSE(image.WriteJpeg(folder.File("missing\\copy.jpg"), 50, 40, 0, 0, 100, 80, -1, 100, 0, 0));
    EXPECT_EQ(image.Width(), 100);
    EXPECT_EQ(imagingtest::ReadFileBytes(target), old);
    std::vector<std::string> files = folder.List();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"copy.jpg", "locked.jpg", "taken.jpg"}));
}

TEST_F(CimageTest, CreateBitmapGivesABitmapOfThePicture) {
    CImage image;
    Gradient(image);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = image.CreateBitmap(screen);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObjectA(bitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 100);
    EXPECT_EQ(info.bmHeight, 80);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    EXPECT_EQ(GetPixel(memory, 37, 21), RGB(37, 21, 37 ^ 21));
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
}

// The copy the main window writes from the picture it keeps: the same file
// as WriteJpeg makes of the same picture, cut, scaled or neither, and the
// picture stays as it was.
TEST_F(CimageTest, WriteCopyWritesWhatWriteJpegWritesAndKeepsThePicture) {
    TempFolder folder;
    const auto read = [&](const std::string& name) { return imagingtest::ReadFileBytes(folder.File(name)); };
    const struct {
        int32_t w, h, left, top, right, bottom;
    } cases[] = {
        {40, 30, 10, 5, 90, 65},  // cut and scaled
        {80, 60, 10, 5, 90, 65},  // cut only
        {50, 40, 0, 0, 0, 0},     // scaled only
        {100, 80, 0, 0, 100, 80}, // neither
        {0, 30, 10, 5, 90, 65},   // no size to scale to: the cut as it is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.w * 1000 + c.left);
        CImage kept, reference;
        Gradient(kept);
        Gradient(reference);
        const std::vector<uint8_t> before = Bytes(kept);
        ASSERT_TRUE(kept.WriteCopy(folder.File("copy.jpg"), c.w, c.h, c.left, c.top, c.right, c.bottom, 100));
        ASSERT_TRUE(reference.WriteJpeg(folder.File("reference.jpg"), c.w, c.h, c.left, c.top, c.right,
                                        c.bottom, -1, 100, 0, 0));
        EXPECT_GT(read("copy.jpg").size(), 100u);
        EXPECT_TRUE(read("copy.jpg") == read("reference.jpg"));
        EXPECT_EQ(Bytes(kept), before);
    }
}

// A load may be refused as too large, stopped, or given the memory of a
// picture no longer needed; the picture is then the same as a plain load's.
TEST_F(CimageTest, LoadWithOptionsRefusesStopsAndReusesMemory) {
    CImage plain;
    ASSERT_TRUE(plain.Load(Corpus("PHOTO.JPG")));
    const volatile int32_t stop = 1;
    TLoadOptions options;
    options.nMaxBytes = size_t(140) * 92 * 3 - 1;
    CImage image;
    EXPECT_EQ(image.Load(Corpus("PHOTO.JPG"), options), TLoadResult::OverLimit);
    EXPECT_FALSE(image.HasPicture());
    options.nMaxBytes = 0;
    options.pCancel = &stop;
    EXPECT_EQ(image.Load(Corpus("PHOTO.JPG"), options), TLoadResult::Cancelled);
    EXPECT_EQ(image.Load(Corpus("no such file.jpg"), TLoadOptions{}), TLoadResult::Failed);

    // The memory of one picture takes the next; a picture not from the
    // library (a turned one) has none to give.
    CImage first;
    ASSERT_TRUE(first.Load(Corpus("IMG_0002.JPEG")));
    options = TLoadOptions{};
    options.hReuse = first.ReleaseBlock();
    ASSERT_NE(options.hReuse, nullptr);
    EXPECT_FALSE(first.HasPicture());
    ASSERT_EQ(image.Load(Corpus("PHOTO.JPG"), options), TLoadResult::Loaded);
    EXPECT_EQ(Bytes(image), Bytes(plain));
    ASSERT_TRUE(image.Rotate(1));
    EXPECT_EQ(image.ReleaseBlock(), nullptr);
    EXPECT_FALSE(image.HasPicture());
    EXPECT_EQ(image.ReleaseBlock(), nullptr); // an emptied object keeps no block

    image.Swap(plain);
    EXPECT_FALSE(plain.HasPicture());
    EXPECT_EQ(image.Width(), 140);
}

// The copy of a phone photo keeps when and with what it was taken, through
// the library's EXIF entry points, and drops where (GPS) and the stale
// thumbnail; it is a frame-safe JPEG that says sRGB. Also after the picture
// moved to another object (the read-ahead hands its picture over).
TEST_F(CimageTest, CopyKeepsTheDateTakenAndDropsTheLocation) {
    TempFolder folder;
    exiftest::Spec phone;
    phone.make = "Acme";
    phone.model = "Acme Phone 12";
    phone.date = "2022:12:24 17:45:09";
    phone.offset = "-08:00";
    phone.orientation = 6;
    phone.gps = true;
    phone.thumbnail = true;
    const std::string raw = imagingtest::ReadFileBytes(Corpus("jpeg_444.jpg"));
    const std::vector<uint8_t> source = exiftest::WithSegment(
        std::vector<uint8_t>(raw.begin(), raw.end()), 0xE1, exiftest::App1Payload(exiftest::BuildTiff(phone)));
    const std::string sourcePath = folder.File("phone.jpg");
    ASSERT_TRUE(imagingtest::WriteFileBytes(sourcePath, std::string(source.begin(), source.end())));

    CImage loaded, image;
    ASSERT_TRUE(loaded.Load(sourcePath));
    EXPECT_EQ(loaded.Width(), 118) << "turned upright by its orientation";
    image.Swap(loaded);
    const std::string copyPath = folder.File("copy.jpg");
    ASSERT_TRUE(image.WriteCopy(copyPath, 59, 78, 0, 0, 0, 0, 100));

    const std::string written = imagingtest::ReadFileBytes(copyPath);
    const std::vector<uint8_t> copy(written.begin(), written.end());
    EXPECT_EQ(jpegtest::FrameSafetyProblem(copy), "");
    const std::vector<uint8_t> exif = jpegtest::ExifPayload(copy);
    const isource::PhotoInfo info = isource::ReadExifPhotoInfo(exif.data(), exif.size());
    EXPECT_EQ(info.dateTimeOriginal, phone.date);
    EXPECT_EQ(info.offsetTimeOriginal, phone.offset);
    EXPECT_EQ(info.make, phone.make);
    EXPECT_EQ(info.model, phone.model);
    EXPECT_EQ(isource::ExifOrientation(exif.data(), exif.size()), 1);
    // The whole block is the one the library makes of those four facts: no
    // GPS directory, no thumbnail.
    EXPECT_TRUE(exif == isource::MakeExifBlock(info));

    // A picture that came from memory has no photo facts to keep.
    CImage fresh;
    Gradient(fresh);
    ASSERT_TRUE(fresh.WriteCopy(copyPath, 100, 80, 0, 0, 0, 0, 100));
    const std::string plain = imagingtest::ReadFileBytes(copyPath);
    const std::vector<uint8_t> plainExif = jpegtest::ExifPayload(std::vector<uint8_t>(plain.begin(), plain.end()));
    EXPECT_TRUE(isource::ReadExifPhotoInfo(plainExif.data(), plainExif.size()).Empty());
    EXPECT_TRUE(plainExif == isource::MakeExifBlock({})) << "sRGB and upright all the same";
}

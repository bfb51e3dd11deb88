// Pictures that cannot be shown, in the real window: every file the
// corpus marks as one to refuse, files cut short, empty, holding something
// else under a picture's extension or claiming absurd sizes, and pictures as
// big as the program may hold (16000 x 16000, and one the 32-bit program can
// hold once but not twice). Each is listed; each bad one fails to load and
// Copy Image names it; the big ones load where the build has the room. Then
// a good picture works as before, and a second time through the list leaves
// no more memory, handles or windows than the first.
#include "MainWindowSession.h"

#include "app/CommandIds.h"
#include "harness/Answer.h"
#include "harness/FolderDigest.h"
#include "harness/Gui.h"
#include "imaging/decode/Patching.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

using harness::Answer;

constexpr const char* kGood = "0 good.jpg";
constexpr const char* kPhoto = "jpeg_baseline_420.jpg"; // 160 x 120

enum class Expect {
    Fails,       // not shown, and Copy Image names the file
    Loads,       // shown at its size
    LoadsIfRoom, // held (and shown) where the build has the memory, else refused
};

struct Row {
    std::string name;
    std::vector<uint8_t> bytes;
    Expect expect;
    int width = 0;
    int height = 0;
    bool bBig = false; // hundreds of megabytes once decoded
};

// The 32-bit program's room: it can hold this picture (1.2 GB) once, but
// not a second one or its display bitmap beside it. (Under 32-bit Wine a
// large-address-aware process finds 1884 MB in one piece, then 1008 MB.)
constexpr uint16_t kOnceWidth = 20000;
constexpr uint16_t kOnceHeight = 20000;

std::vector<uint8_t> FileBytes(const std::string& path) {
    const std::string bytes = harness::ReadBytes(path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::vector<uint8_t> Corpus(const std::string& name) {
    return FileBytes(std::string(SNAPWELL_CORPUS_DIR) + "/" + name);
}

// The files the corpus marks as ones every reader must refuse.
std::vector<std::string> CorpusRejects() {
    std::ifstream manifest(std::string(SNAPWELL_CORPUS_DIR) + "/MANIFEST.tsv");
    std::vector<std::string> rejects;
    std::string line;
    std::getline(manifest, line); // column names
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string file, format, width, height, expect;
        if (std::getline(fields, file, '\t') && std::getline(fields, format, '\t') &&
            std::getline(fields, width, '\t') && std::getline(fields, height, '\t') &&
            std::getline(fields, expect, '\t') && expect == "reject")
            rejects.push_back(file);
    }
    return rejects;
}

// A baseline grey JPEG of any size whose blocks are all mid-grey: one
// Huffman code of one bit each for "no change of DC" and "end of block",
// so the data is two bits a block and the file stays small.
std::vector<uint8_t> FlatJpeg(uint16_t width, uint16_t height) {
    std::vector<uint8_t> j{0xFF, 0xD8};
    const auto segment = [&](uint8_t marker, std::vector<uint8_t> body) {
        j.insert(j.end(), {0xFF, marker, uint8_t((body.size() + 2) >> 8), uint8_t(body.size() + 2)});
        j.insert(j.end(), body.begin(), body.end());
    };
    std::vector<uint8_t> quant(65, 1);
    quant[0] = 0;
    segment(0xDB, quant);
    segment(0xC0, {8, uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8), uint8_t(width), 1, 1, 0x11, 0});
    for (uint8_t table : {0x00, 0x10}) {
        std::vector<uint8_t> huffman(18, 0);
        huffman[0] = table;
        huffman[1] = 1; // one code of length 1, for symbol 0
        segment(0xC4, huffman);
    }
    segment(0xDA, {1, 1, 0x00, 0, 63, 0});
    const uint64_t nBits = uint64_t((width + 7) / 8) * ((height + 7) / 8) * 2;
    j.resize(j.size() + size_t((nBits + 7) / 8), 0);
    if (nBits % 8 != 0)
        j.back() = uint8_t(0xFF >> (nBits % 8)); // padded with ones
    j.insert(j.end(), {0xFF, 0xD9});
    return j;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t n) {
    bytes.resize(std::min(n, bytes.size()));
    return bytes;
}

std::vector<Row> Rows() {
    std::vector<Row> rows;
    for (const std::string& file : CorpusRejects())
        rows.push_back({"a corpus " + file, Corpus(file), Expect::Fails});
    for (const char* file : {kPhoto, "png_rgb8.png", "tiff_lzw.tif", "bmp_24bit.bmp", "psd_rgb8_rle.psd"}) {
        const std::vector<uint8_t> whole = Corpus(file);
        for (size_t n : {size_t(4), whole.size() / 2, whole.size() - 2})
            rows.push_back({"b cut " + std::to_string(n) + " " + file, Cut(whole, n), Expect::Fails});
    }
    rows.push_back({"c empty.jpg", {}, Expect::Fails});
    rows.push_back({"d png inside.jpg", Corpus("png_rgb8.png"), Expect::Loads, 160, 120});
    const std::string text = "This is a letter, not a picture.\r\n";
    rows.push_back({"d text.png", std::vector<uint8_t>(text.begin(), text.end()), Expect::Fails});
    char szProgram[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, szProgram, MAX_PATH);
    rows.push_back({"d program.bmp", Cut(FileBytes(szProgram), 65536), Expect::Fails});

    // Sizes no picture of this program may have, in each format's header.
    std::vector<uint8_t> jpeg = Corpus(kPhoto);
    const size_t sof = patch::FindJpegMarker(jpeg, 0xC0);
    patch::PutBigEndian(jpeg, sof + 4, 65500, 2);
    patch::PutBigEndian(jpeg, sof + 6, 65500, 2);
    rows.push_back({"e huge.jpg", jpeg, Expect::Fails});
    std::vector<uint8_t> png = Corpus("png_rgb8.png");
    const size_t ihdr = patch::FindPngChunk(png, "IHDR");
    patch::PutBigEndian(png, ihdr, 0x7FFFFFFF, 4);
    patch::FixPngCrc(png, ihdr);
    rows.push_back({"e huge.png", png, Expect::Fails});
    std::vector<uint8_t> tiff = Corpus("tiff_lzw.tif");
    patch::SetTiffEntry(tiff, patch::FindTiffEntry(tiff, 256), 4, 100000);
    patch::SetTiffEntry(tiff, patch::FindTiffEntry(tiff, 257), 4, 100000);
    rows.push_back({"e huge.tif", tiff, Expect::Fails});
    std::vector<uint8_t> bmp = Corpus("bmp_24bit.bmp");
    for (size_t at : {size_t(18), size_t(22)}) // width and height, little-endian
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = uint8_t(1000000u >> (8 * i));
    rows.push_back({"e huge.bmp", bmp, Expect::Fails});
    std::vector<uint8_t> psd = Corpus("psd_rgb8_rle.psd");
    patch::PutBigEndian(psd, 14, 30000, 4); // height
    patch::PutBigEndian(psd, 18, 30000, 4); // width: 2.7 GB
    rows.push_back({"e huge.psd", psd, Expect::Fails});

    // Big, but pictures all the same.
    const Expect big = sizeof(void*) == 8 ? Expect::Loads : Expect::LoadsIfRoom;
    rows.push_back({"z 16000 x 16000.jpg", FlatJpeg(16000, 16000), big, 16000, 16000, true});
    rows.push_back({"y once not twice.jpg", FlatJpeg(kOnceWidth, kOnceHeight), big, kOnceWidth, kOnceHeight, true});
    return rows;
}

// What a leak would leave behind, counted the ways that work under Wine too
// (where GetGuiResources and GetProcessHandleCount answer 0): the private
// bytes in use (the display bitmaps are sections in the process, so a
// bitmap left behind counts here), the kernel handles that answer, the
// windows of the process.
struct Resources {
    size_t nPrivateBytes = 0;
    int nHandles = 0;
    int nWindows = 0;
};

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<int*>(lp);
        EnumChildWindows(hwnd, &CountWindow, lp);
    }
    return TRUE;
}

Resources Measure() {
    Resources r;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    r.nPrivateBytes = memory.PagefileUsage;
    for (ULONG_PTR h = 4; h < 0x10000; h += 4) {
        DWORD nFlags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &nFlags))
            ++r.nHandles;
    }
    EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&r.nWindows));
    return r;
}

// The read-ahead has finished or given up.
void Settle(TfrmMain& f) {
    EXPECT_TRUE(harness::PumpUntil(
        [&] { return f.Pictures()->AheadPath().empty() || f.Pictures()->AheadArrived(); }, 30000));
    harness::PumpMessages();
}

} // namespace

TEST(BadPictures, AreListedRefusedAndNamedWithoutCrashHangOrLeak) {
    MainWindowSession s;
    s.AddPicture(kPhoto, kGood);
    const std::vector<Row> rows = Rows();
    for (const Row& row : rows)
        ASSERT_TRUE(harness::WriteBytes(s.SourceFolder() + "\\" + row.name,
                                        std::string(row.bytes.begin(), row.bytes.end())))
            << row.name;
    const harness::FolderDigest sources = harness::DigestOf(s.SourceFolder());

    TfrmMain& f = s.Start();
    f.Properties()->m_nFilenameMode = fmNeverPrompt;
    f.Properties()->m_bAutoAdvance = false;
    ASSERT_EQ(s.SelectedText(), kGood);
    const std::vector<std::string> listed = s.TreeTexts();
    ASSERT_EQ(listed.size(), rows.size() + 2) << "the folder entry, the good picture and every row";

    // Down the list as a person goes (the read-ahead too), then the good
    // picture again, shown and copied.
    const auto walk = [&](bool bBig) {
        for (size_t i = 2; i < listed.size(); ++i) {
            SCOPED_TRACE(listed[i]);
            const auto found =
                std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return r.name == listed[i]; });
            ASSERT_NE(found, rows.end());
            const Row& row = *found;
            if (row.bBig && !bBig)
                continue;
            const DWORD t0 = GetTickCount();
            s.Select(row.name);
            // The second time, going on at once stops a read-ahead of the
            // big pictures.
            if (bBig)
                Settle(f);
            // What the image object holds tells the load; the status bar
            // what is shown (a mouse move over the view may repeat the size
            // of the picture it still shows, after a file that failed).
            const CImage& image = *f.Image();
            const bool bHeld = image.HasPicture() && image.Width() == row.width && image.Height() == row.height;
            const bool bShown =
                f.StatusText(3) == " source = " + std::to_string(row.width) + " x " + std::to_string(row.height);
            if (row.expect == Expect::Loads) {
                EXPECT_TRUE(bHeld && bShown) << f.StatusText(3);
            } else if (row.expect == Expect::LoadsIfRoom) {
                EXPECT_TRUE(bHeld || !image.HasPicture());
                std::cout << row.name << ": " << (bHeld ? "held" : "not held") << ", "
                          << (bShown ? "shown" : "not shown") << ", " << GetTickCount() - t0
                          << " ms with the read-ahead of the next" << std::endl;
            } else {
                EXPECT_FALSE(image.HasPicture());
                Answer box(IDOK);
                s.Command(cmdCopy);
                EXPECT_EQ(box.Text(), "Failuer to open source image file:\n\n" + s.SourceFolder() + "\\" + row.name);
            }
        }
        s.Select(kGood);
        Settle(f);
        EXPECT_EQ(f.StatusText(3), " source = 160 x 120");
        s.Command(cmdCopy);
        EXPECT_EQ(ReadPictureSize(s.CopyFolder() + "\\0 good.jpg"), (PictureSize{160, 120}));
        EXPECT_EQ(harness::DigestOf(s.CopyFolder()).size(), 1u) << "a copy of a bad picture was written";
        Settle(f);
    };
    const auto report = [](const char* what, const Resources& r) {
        std::cout << what << ": " << r.nPrivateBytes / 1024 << " KB private, " << r.nHandles << " handles, "
                  << r.nWindows << " windows" << std::endl;
    };

    // The first time through with the big pictures: what stays afterwards
    // is set up once (the first message box, the codecs' tables), or a
    // picture or a bitmap left behind, which is hundreds of megabytes.
    Settle(f);
    const Resources start = Measure();
    DWORD t0 = GetTickCount();
    walk(true);
    const Resources first = Measure();
    std::cout << "first time through: " << GetTickCount() - t0 << " ms" << std::endl;
    // Again without them: nothing more may stay.
    t0 = GetTickCount();
    walk(false);
    const Resources second = Measure();
    std::cout << "second time through: " << GetTickCount() - t0 << " ms" << std::endl;
    report("at the start", start);
    report("after the first time through", first);
    report("after the second", second);
    EXPECT_LE(first.nPrivateBytes, start.nPrivateBytes + 16 * 1024 * 1024);
    EXPECT_LE(second.nPrivateBytes, first.nPrivateBytes + 512 * 1024);
    // A lock set up lazily on its first contention may add an event; a
    // handle left by every file would add twenty.
    EXPECT_LE(second.nHandles, first.nHandles + 2);
    EXPECT_LE(second.nWindows, first.nWindows);
    EXPECT_EQ(harness::DigestOf(s.SourceFolder()), sources);
}

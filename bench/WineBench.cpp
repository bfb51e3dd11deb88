// The copy job and the display path as the program does them: the image
// object over _ISource30.dll (beside this program), under Wine.
//
//   bench_wine.exe copy <in.jpg> <out.jpg>
//   bench_wine.exe display <in.jpg>
//   bench_wine.exe preview <in.jpg> <fit-width> <fit-height>
//
// Prints one line of key=value pairs: times in milliseconds, the process's
// peak working set and peak pagefile usage (as Wine reports them), their
// values before the job, and the decoded picture's size in bytes.
#include "bench/Clock.h"
#include "bench/CopyJob.h"

#include "imaging/Cimage.h"
#include "imaging/ImagingLibrary.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Memory {
    size_t peakWorkingSet = 0, peakPagefile = 0;
};

Memory Read() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return {counters.PeakWorkingSetSize, counters.PeakPagefileUsage};
}

void PrintMemory(const Memory& before, const Memory& after, size_t pictureBytes) {
    std::printf(
        "peak_kb=%zu baseline_kb=%zu peak_pagefile_kb=%zu baseline_pagefile_kb=%zu picture_bytes=%zu\n",
        after.peakWorkingSet / 1024, before.peakWorkingSet / 1024, after.peakPagefile / 1024,
        before.peakPagefile / 1024, pictureBytes);
}

int Copy(const char* in, const char* out) {
    const Memory before = Read();
    CImage image;
    const double start = Now();
    if (!image.Load(in))
        return std::fprintf(stderr, "cannot load %s\n", in), 1;
    const double loaded = Now();
    const size_t pictureBytes = size_t(image.Width()) * size_t(image.Height()) * 3;
    const bench::CopyGeometry g = bench::GeometryFor(image.Width(), image.Height());
    if (!image.WriteJpeg(out, g.outWidth, g.outHeight, g.left, g.top, g.right, g.bottom, -1, bench::kQuality,
                         0, 0))
        return std::fprintf(stderr, "cannot write %s\n", out), 1;
    const double end = Now();
    std::printf("job=copy ms=%.1f load_ms=%.1f write_ms=%.1f ", end - start, loaded - start, end - loaded);
    bench::PrintGeometry(g);
    PrintMemory(before, Read(), pictureBytes);
    return 0;
}

int Display(const char* in) {
    const Memory before = Read();
    HDC screen = GetDC(nullptr);
    CImage image;
    const double start = Now();
    if (!image.Load(in))
        return std::fprintf(stderr, "cannot load %s\n", in), 1;
    const double loaded = Now();
    HBITMAP bitmap = image.CreateBitmap(screen);
    const double end = Now();
    if (bitmap == nullptr)
        return std::fprintf(stderr, "cannot make the bitmap\n"), 1;
    std::printf("job=display ms=%.1f load_ms=%.1f bitmap_ms=%.1f ", end - start, loaded - start,
                end - loaded);
    PrintMemory(before, Read(), size_t(image.Width()) * size_t(image.Height()) * 3);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return 0;
}

// The first picture's road: the reduced decode that covers a view of
// fitWidth x fitHeight, its display bitmap at the fitted size, beside the
// full decode and the display bitmap made from the full picture. Each
// decode into new memory, as for a program's first picture.
int Preview(const char* in, int32_t fitWidth, int32_t fitHeight) {
    HDC screen = GetDC(nullptr);
    double full = 0, reduced = 0, fromFull = 0, fromReduced = 0;
    int32_t w = 0, h = 0, rw = 0, rh = 0, outWidth = 0, outHeight = 0;
    for (int pass = 0; pass < 2; ++pass) {
        {
            CImage image;
            const double start = Now();
            if (image.Load(in, TLoadOptions()) != TLoadResult::Loaded)
                return std::fprintf(stderr, "cannot load %s\n", in), 1;
            full = Now() - start;
            w = image.Width();
            h = image.Height();
            const double fit = std::min(double(fitWidth) / w, double(fitHeight) / h);
            outWidth = std::max(1, int32_t(w * fit));
            outHeight = std::max(1, int32_t(h * fit));
            const double made = Now();
            HBITMAP bitmap = image.CreateDisplayBitmap(screen, outWidth, outHeight, -1);
            fromFull = Now() - made;
            if (bitmap == nullptr)
                return std::fprintf(stderr, "cannot make the bitmap\n"), 1;
            DeleteObject(bitmap);
        }
        {
            CImage image;
            TLoadOptions options;
            options.nFitWidth = fitWidth;
            options.nFitHeight = fitHeight;
            const double start = Now();
            if (image.Load(in, options) != TLoadResult::Loaded)
                return std::fprintf(stderr, "cannot load %s reduced\n", in), 1;
            reduced = Now() - start;
            rw = image.Width();
            rh = image.Height();
            if (image.FullWidth() != w || image.FullHeight() != h)
                return std::fprintf(stderr, "the reduced load tells another full size\n"), 1;
            const double made = Now();
            HBITMAP bitmap = image.CreateDisplayBitmap(screen, outWidth, outHeight, -1);
            fromReduced = Now() - made;
            if (bitmap == nullptr)
                return std::fprintf(stderr, "cannot make the bitmap\n"), 1;
            DeleteObject(bitmap);
        }
    }
    std::printf("job=preview picture=%dx%d reduced=%dx%d shown=%dx%d full_ms=%.1f reduced_ms=%.1f "
                "bitmap_full_ms=%.1f bitmap_reduced_ms=%.1f ratio=%.2f\n",
                w, h, rw, rh, outWidth, outHeight, full, reduced, fromFull, fromReduced,
                (reduced + fromReduced) / full);
    ReleaseDC(nullptr, screen);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (!InitImaging())
        return std::fprintf(stderr, "Failure loading the image dll\n"), 1;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "copy" && argc == 4)
        return Copy(argv[2], argv[3]);
    if (mode == "display" && argc == 3)
        return Display(argv[2]);
    if (mode == "preview" && argc == 5)
        return Preview(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    std::fprintf(stderr, "usage: %s copy IN OUT | display IN | preview IN FIT-WIDTH FIT-HEIGHT\n", argv[0]);
    return 2;
}

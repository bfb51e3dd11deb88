// The copy job and the display path natively, through the imaging library's
// plain code (the same decoders, pixel work and JPEG writer the DLL
// exports), with the buffers handled as the image object handles them: the
// decoder's buffer becomes the picture, each step builds a new buffer and
// frees the old one.
//
//   bench_native copy <in.jpg> <out.jpg>       the copy job
//   bench_native display <in.jpg>              file -> 24-bit bitmap rows
//   bench_native resize <in.ppm> <out.ppm> W H the resampler alone
//   bench_native psnr <a.ppm> <b.ppm>          PSNR of b against a
//   bench_native lanczos <in.ppm> <out.ppm> x y w h W H cx cy cw ch
//                                              the full-resolution ideal (see Lanczos)
//
// Each prints one line of key=value pairs: times in milliseconds, the peak
// resident set (getrusage) and the decoded picture's size in bytes.
#include "bench/CopyJob.h"
#include "bench/Ppm.h"

#include "imaging/isource/decode/Decode.h"
#include "imaging/isource/encode/JpegWriter.h"
#include "imaging/isource/pixels/Bands.h"
#include "imaging/isource/pixels/BitmapRows.h"
#include "imaging/isource/pixels/Resample.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Buffer = std::unique_ptr<uint8_t[]>;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

long PeakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct HeapSink : isource::PixelSink {
    Buffer pixels;
    int32_t width = 0, height = 0;
    uint8_t* Allocate(int32_t w, int32_t h) override {
        pixels.reset(new uint8_t[size_t(w) * size_t(h) * 3]);
        isource::PrepareBuffer(pixels.get(), size_t(w) * size_t(h) * 3); // as the library's sink does
        width = w;
        height = h;
        return pixels.get();
    }
};

struct FileSink : isource::ByteSink {
    std::FILE* file;
    explicit FileSink(std::FILE* f) : file(f) {}
    bool Write(const uint8_t* data, size_t size) override { return std::fwrite(data, 1, size, file) == size; }
};

struct Picture {
    Buffer pixels;
    int32_t width = 0, height = 0;
};

// Reads and decodes the file; the file's bytes go before the picture is used.
bool Load(const char* path, Picture& out) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr)
        return false;
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    std::vector<uint8_t> bytes(size_t(size > 0 ? size : 0));
    const bool read = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::fclose(f);
    HeapSink sink;
    if (!read || isource::DecodeImage(bytes.data(), bytes.size(), sink) != isource::DecodeStatus::Ok)
        return false;
    std::vector<uint8_t>().swap(bytes);
    out.pixels = std::move(sink.pixels);
    out.width = sink.width;
    out.height = sink.height;
    return true;
}

int Copy(const char* in, const char* out) {
    const long baseline = PeakKb();
    const Clock::time_point start = Clock::now();
    Picture p;
    if (!Load(in, p))
        return std::fprintf(stderr, "cannot load %s\n", in), 1;
    const double loadMs = Ms(start);
    const size_t pictureBytes = size_t(p.width) * size_t(p.height) * 3;
    const bench::CopyGeometry g = bench::GeometryFor(p.width, p.height);

    // Cut and scale in one pass, straight out of the picture, as the image
    // object does when a copy is both cut and scaled.
    Clock::time_point t = Clock::now();
    const int32_t cw = g.right - g.left, ch = g.bottom - g.top;
    Buffer scaled(new uint8_t[size_t(g.outWidth) * size_t(g.outHeight) * 3]);
    isource::ResizeImage(p.pixels.get() + ptrdiff_t{g.top} * p.width * 3 + ptrdiff_t{g.left} * 3, cw, ch,
                         p.width * 3, scaled.get(), g.outWidth, g.outHeight, g.outWidth * 3, 3);
    p.pixels = std::move(scaled);
    p.width = g.outWidth;
    p.height = g.outHeight;
    const double resizeMs = Ms(t);

    t = Clock::now();
    const std::string temp = std::string(out) + ".part";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    FileSink sink(f);
    const bool written = f != nullptr && isource::EncodeJpeg(p.pixels.get(), p.width, p.height, p.width * 3,
                                                             3, bench::kQuality, sink);
    const bool closed = f != nullptr && std::fclose(f) == 0;
    if (!written || !closed || std::rename(temp.c_str(), out) != 0)
        return std::fprintf(stderr, "cannot write %s\n", out), 1;
    const double writeMs = Ms(t);

    std::printf("job=copy ms=%.1f load_ms=%.1f crop_resize_ms=%.1f write_ms=%.1f ", Ms(start), loadMs,
                resizeMs, writeMs);
    bench::PrintGeometry(g);
    std::printf("peak_kb=%ld baseline_kb=%ld picture_bytes=%zu\n", PeakKb(), baseline, pictureBytes);
    return 0;
}

int Display(const char* in) {
    const long baseline = PeakKb();
    const Clock::time_point start = Clock::now();
    Picture p;
    if (!Load(in, p))
        return std::fprintf(stderr, "cannot load %s\n", in), 1;
    const double loadMs = Ms(start);
    const Clock::time_point t = Clock::now();
    const int32_t rowBytes = isource::BitmapRowBytes(p.width);
    Buffer bitmap(new uint8_t[size_t(rowBytes) * size_t(p.height)]);
    isource::RgbToBitmapRows(p.pixels.get(), p.width, p.height, p.width * 3, bitmap.get(), rowBytes);
    std::printf(
        "job=display ms=%.1f load_ms=%.1f bitmap_ms=%.1f peak_kb=%ld baseline_kb=%ld picture_bytes=%zu\n",
        Ms(start), loadMs, Ms(t), PeakKb(), baseline, size_t(p.width) * size_t(p.height) * 3);
    return 0;
}

int Resize(const char* in, const char* out, int32_t w, int32_t h) {
    bench::RgbPicture src, dst{w, h, std::vector<uint8_t>(size_t(w) * size_t(h) * 3)};
    if (!bench::ReadPpm(in, src))
        return std::fprintf(stderr, "cannot read %s\n", in), 1;
    const Clock::time_point t = Clock::now();
    isource::ResizeImage(src.pixels.data(), src.width, src.height, src.width * 3, dst.pixels.data(), w, h,
                         w * 3, 3);
    const double ms = Ms(t);
    if (!bench::WritePpm(out, dst))
        return std::fprintf(stderr, "cannot write %s\n", out), 1;
    std::printf("job=resize ms=%.1f\n", ms);
    return 0;
}

// The ideal the copies are measured against: the region (x, y, w, h) of
// the picture scaled to W x H by a separable Lanczos-3 computed in double
// precision from every pixel at full resolution (the kernel widened by the
// reduction, taps outside the region left out and the rest renormalised),
// then the output cut to (cx, cy, cw, ch), as a tool that scales the whole
// picture and crops the result does.
std::vector<std::vector<std::pair<int32_t, double>>> LanczosTaps(int32_t inSize, int32_t outSize) {
    const double scale = double(inSize) / outSize, support = 3.0 * std::max(1.0, scale);
    const double widen = std::max(1.0, scale);
    const auto lanczos = [](double x) {
        x = std::fabs(x);
        if (x < 1e-12)
            return 1.0;
        if (x >= 3.0)
            return 0.0;
        const double px = M_PI * x;
        return 3.0 * std::sin(px) * std::sin(px / 3.0) / (px * px);
    };
    std::vector<std::vector<std::pair<int32_t, double>>> taps(static_cast<size_t>(outSize));
    for (int32_t o = 0; o < outSize; ++o) {
        const double centre = (o + 0.5) * scale - 0.5;
        double sum = 0;
        for (int32_t i = int32_t(std::floor(centre - support)); i <= int32_t(std::ceil(centre + support));
             ++i) {
            if (i < 0 || i >= inSize)
                continue;
            const double w = lanczos((i - centre) / widen);
            if (w != 0) {
                taps[size_t(o)].push_back({i, w});
                sum += w;
            }
        }
        for (auto& tap : taps[size_t(o)])
            tap.second /= sum;
    }
    return taps;
}

int Lanczos(char** argv) {
    bench::RgbPicture src;
    if (!bench::ReadPpm(argv[0], src))
        return std::fprintf(stderr, "cannot read %s\n", argv[0]), 1;
    const int32_t x = std::atoi(argv[2]), y = std::atoi(argv[3]), w = std::atoi(argv[4]),
                  h = std::atoi(argv[5]);
    const int32_t W = std::atoi(argv[6]), H = std::atoi(argv[7]);
    const int32_t cx = std::atoi(argv[8]), cy = std::atoi(argv[9]), cw = std::atoi(argv[10]),
                  ch = std::atoi(argv[11]);
    if (x < 0 || y < 0 || w < 1 || h < 1 || x + w > src.width || y + h > src.height || cx < 0 || cy < 0 ||
        cx + cw > W || cy + ch > H)
        return std::fprintf(stderr, "region outside the picture\n"), 2;
    const auto across = LanczosTaps(w, W), down = LanczosTaps(h, H);
    std::vector<double> rows(size_t(W) * h * 3); // scaled along x first
    for (int32_t r = 0; r < h; ++r)
        for (int32_t o = 0; o < W; ++o)
            for (int c = 0; c < 3; ++c) {
                double v = 0;
                for (const auto& tap : across[size_t(o)])
                    v += tap.second * src.pixels[(size_t(y + r) * src.width + size_t(x + tap.first)) * 3 + c];
                rows[(size_t(r) * W + o) * 3 + c] = v;
            }
    bench::RgbPicture dst{cw, ch, std::vector<uint8_t>(size_t(cw) * ch * 3)};
    for (int32_t o = 0; o < ch; ++o)
        for (int32_t col = 0; col < cw; ++col)
            for (int c = 0; c < 3; ++c) {
                double v = 0;
                for (const auto& tap : down[size_t(cy + o)])
                    v += tap.second * rows[(size_t(tap.first) * W + size_t(cx + col)) * 3 + c];
                dst.pixels[(size_t(o) * cw + col) * 3 + c] = uint8_t(std::clamp(std::lround(v), 0L, 255L));
            }
    if (!bench::WritePpm(argv[1], dst))
        return std::fprintf(stderr, "cannot write %s\n", argv[1]), 1;
    return 0;
}

int Psnr(const char* a, const char* b) {
    bench::RgbPicture pa, pb;
    if (!bench::ReadPpm(a, pa) || !bench::ReadPpm(b, pb) || pa.width != pb.width || pa.height != pb.height)
        return std::fprintf(stderr, "cannot compare %s and %s\n", a, b), 1;
    double sum = 0;
    int worst = 0;
    for (size_t i = 0; i < pa.pixels.size(); ++i) {
        const int d = int(pa.pixels[i]) - int(pb.pixels[i]);
        sum += double(d) * d;
        worst = std::max(worst, std::abs(d));
    }
    const double mse = sum / double(pa.pixels.size());
    std::printf("psnr=%.2f max_diff=%d\n", mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse), worst);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "copy" && argc == 4)
        return Copy(argv[2], argv[3]);
    if (mode == "display" && argc == 3)
        return Display(argv[2]);
    if (mode == "resize" && argc == 6)
        return Resize(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    if (mode == "psnr" && argc == 4)
        return Psnr(argv[2], argv[3]);
    if (mode == "lanczos" && argc == 14)
        return Lanczos(argv + 2);
    std::fprintf(stderr,
                 "usage: %s copy IN OUT | display IN | resize IN.ppm OUT.ppm W H | psnr A.ppm B.ppm |\n"
                 "       lanczos IN.ppm OUT.ppm X Y W H OUT-W OUT-H CUT-X CUT-Y CUT-W CUT-H\n",
                 argv[0]);
    return 2;
}

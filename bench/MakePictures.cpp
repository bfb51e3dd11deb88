// Makes the benchmark's input pictures as PPM files:
//   camera   6000 x 4000 (or the size given): a colour "plasma" (fractal
//            value noise) with hard edges and sensor-like grain, compressed
//            like a camera's JPEG by the driver script; its scene (horizon,
//            objects) is laid out in proportion to the size;
//   detailed 6000 x 3375: plasma multiplied by an 8-pixel checkerboard and by
//            1-pixel diagonal lines every 7 pixels, where resampling filters
//            differ clearly.
//   variant  picture k of a folder of distinct camera pictures made from one:
//            shifted round by a different offset, mirrored for odd k, with
//            its channels in another order every third picture.
// Usage: bench_make_pictures camera|detailed <out.ppm>
//        bench_make_pictures camera <out.ppm> <width> <height>
//        bench_make_pictures variant <in.ppm> <out.ppm> <k>
#include "bench/Ppm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

inline uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    return h ^ (h >> 15);
}

inline float Lattice(int32_t x, int32_t y, uint32_t seed) {
    return float(Hash(x, y, seed) & 0xFFFFFF) / 16777215.0f;
}

inline float Smooth(float t) {
    return t * t * (3.0f - 2.0f * t);
}

float ValueNoise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = int32_t(fx), iy = int32_t(fy);
    const float tx = Smooth(x - fx), ty = Smooth(y - fy);
    const float a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
    const float c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

// Fractal sum of octaves from 1/1024 of the picture up to a few pixels:
// large soft fields with ever finer detail, as in a plasma fractal.
float Plasma(int32_t x, int32_t y, uint32_t seed, float persistence = 0.6f) {
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f, frequency = 1.0f / 1024.0f;
    for (int octave = 0; octave < 9; ++octave) {
        sum += amplitude * ValueNoise(x * frequency, y * frequency, seed + uint32_t(octave) * 977u);
        norm += amplitude;
        amplitude *= persistence;
        frequency *= 2.0f;
    }
    return sum / norm;
}

inline uint8_t ToByte(float v) {
    return uint8_t(std::clamp(v, 0.0f, 255.0f) + 0.5f);
}

// The scene is laid out for 6000 x 4000 and stretched to the size asked
// for; at 6000 x 4000 every factor is exactly 1.
bench::RgbPicture Camera(int32_t nWidth = 6000, int32_t nHeight = 4000) {
    bench::RgbPicture p{nWidth, nHeight, std::vector<uint8_t>(size_t(nWidth) * size_t(nHeight) * 3)};
    const double sx = nWidth / 6000.0, sy = nHeight / 4000.0;
    const int32_t nBlockX = std::max(1, int32_t(700 * sx)), nBlockY = std::max(1, int32_t(500 * sy));
    std::mt19937 rng(2024);
    std::normal_distribution<float> grain(0.0f, 4.0f);
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x) {
            uint8_t* px = &p.pixels[(size_t(y) * p.width + x) * 3];
            // A horizon and a few sharp-edged objects, like a scene.
            const bool sky = y < int32_t(1500 * sy) + int32_t(300 * sy * std::sin(x / (900.0 * sx)));
            const bool object = ((x / nBlockX) % 3 == 1 && (y / nBlockY) % 4 == 2) ||
                                (std::hypot((x - 4200.0 * sx) / sx, (y - 2600.0 * sy) / sy) < 520.0);
            // Fine texture (grass, leaves) below the horizon, shared by the channels.
            const float texture = sky ? 0.0f : 70.0f * (Plasma(x * 8, y * 8, 7u, 0.8f) - 0.5f);
            for (int c = 0; c < 3; ++c) {
                float v = 255.0f * Plasma(x, y, uint32_t(c) + 11u, 0.7f);
                v = sky ? 140.0f + 0.45f * v + 25.0f * c
                        : (object ? 0.6f * v + 40.0f * (2 - c) : 0.85f * v + texture);
                px[c] = ToByte(v + grain(rng));
            }
        }
    return p;
}

bench::RgbPicture Detailed() {
    bench::RgbPicture p{6000, 3375, std::vector<uint8_t>(size_t(6000) * 3375 * 3)};
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x) {
            const float checker = ((x / 8 + y / 8) & 1) ? 1.0f : 0.55f;
            const float line = ((x + y) % 7 == 0) ? 0.3f : 1.0f;
            uint8_t* px = &p.pixels[(size_t(y) * p.width + x) * 3];
            for (int c = 0; c < 3; ++c)
                px[c] = ToByte(255.0f * Plasma(x, y, uint32_t(c) + 101u) * checker * line);
        }
    return p;
}

bench::RgbPicture Variant(const bench::RgbPicture& in, int k) {
    bench::RgbPicture p{in.width, in.height, std::vector<uint8_t>(in.pixels.size())};
    const int32_t dx = int32_t((int64_t{k} * 977) % in.width), dy = int32_t((int64_t{k} * 613) % in.height);
    const int order = k % 3;
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x) {
            const int32_t sx0 = (x + dx) % in.width;
            const int32_t sx = k % 2 ? in.width - 1 - sx0 : sx0;
            const uint8_t* s = &in.pixels[(size_t((y + dy) % in.height) * in.width + sx) * 3];
            uint8_t* d = &p.pixels[(size_t(y) * p.width + x) * 3];
            for (int c = 0; c < 3; ++c)
                d[c] = s[(c + order) % 3];
        }
    return p;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "variant") == 0) {
        bench::RgbPicture in;
        if (!bench::ReadPpm(argv[2], in) || !bench::WritePpm(argv[3], Variant(in, std::atoi(argv[4])))) {
            std::fprintf(stderr, "cannot make %s from %s\n", argv[3], argv[2]);
            return 1;
        }
        return 0;
    }
    const bool bCamera = argc > 1 && std::strcmp(argv[1], "camera") == 0;
    const int32_t nWidth = bCamera && argc == 5 ? std::atoi(argv[3]) : 6000;
    const int32_t nHeight = bCamera && argc == 5 ? std::atoi(argv[4]) : 4000;
    if (!((argc == 3 && (bCamera || std::strcmp(argv[1], "detailed") == 0)) ||
          (bCamera && argc == 5 && nWidth > 0 && nHeight > 0))) {
        std::fprintf(stderr, "usage: %s camera|detailed <out.ppm> | camera <out.ppm> <width> <height>\n",
                     argv[0]);
        return 2;
    }
    const bench::RgbPicture picture = bCamera ? Camera(nWidth, nHeight) : Detailed();
    if (!bench::WritePpm(argv[2], picture)) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

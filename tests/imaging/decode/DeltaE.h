// Colour difference of two 8-bit sRGB colours as CIEDE2000 (Sharma, Wu and
// Dalal's formulation), through CIE Lab under D65, and the sRGB and RGB
// arithmetic the colour tests and the colour benchmark work out their
// references with. Plain C++, no colour library, so that it checks Little
// CMS rather than repeating it.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace colourtest {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;

inline double SrgbToLinear(double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

inline double LinearToSrgb(double v) {
    return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

inline Vec3 Times(const Mat3& m, const Vec3& v) {
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2], m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

inline Mat3 Inverse(const Mat3& m) {
    const double a = m[0][0], b = m[0][1], c = m[0][2], d = m[1][0], e = m[1][1], f = m[1][2], g = m[2][0],
                 h = m[2][1], i = m[2][2];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    return {{{(e * i - f * h) / det, (c * h - b * i) / det, (b * f - c * e) / det},
             {(f * g - d * i) / det, (a * i - c * g) / det, (c * d - a * f) / det},
             {(d * h - e * g) / det, (b * g - a * h) / det, (a * e - b * d) / det}}};
}

// Linear RGB to XYZ for primaries and white point given as x, y pairs:
// white, red, green, blue.
inline Mat3 RgbToXyz(const std::array<double, 8>& xy) {
    auto column = [](double x, double y) { return Vec3{x / y, 1.0, (1 - x - y) / y}; };
    const Vec3 r = column(xy[2], xy[3]), g = column(xy[4], xy[5]), b = column(xy[6], xy[7]);
    const Mat3 primaries = {{{r[0], g[0], b[0]}, {r[1], g[1], b[1]}, {r[2], g[2], b[2]}}};
    const Vec3 s = Times(Inverse(primaries), column(xy[0], xy[1]));
    Mat3 m = primaries;
    for (auto& row : m)
        for (int c = 0; c < 3; ++c)
            row[c] *= s[c];
    return m;
}

constexpr std::array<double, 8> kSrgbPrimaries = {0.3127, 0.3290, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06};
constexpr std::array<double, 8> kDisplayP3Primaries = {0.3127, 0.3290, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060};
constexpr std::array<double, 8> kAdobeRgbPrimaries = {0.3127, 0.3290, 0.64, 0.33, 0.21, 0.71, 0.15, 0.06};

// Linear light of `from` primaries (same white) to an 8-bit sRGB colour,
// clipped to sRGB's gamut: what a colorimetric conversion of a
// matrix-and-curves profile gives.
inline std::array<uint8_t, 3> LinearToSrgb8(const std::array<double, 8>& from, const Vec3& linear) {
    const Vec3 srgb = Times(Inverse(RgbToXyz(kSrgbPrimaries)), Times(RgbToXyz(from), linear));
    std::array<uint8_t, 3> out{};
    for (int c = 0; c < 3; ++c)
        out[c] = uint8_t(std::lround(255 * LinearToSrgb(std::clamp(srgb[c], 0.0, 1.0))));
    return out;
}

inline Vec3 Lab(const uint8_t* rgb) {
    const Vec3 linear = {SrgbToLinear(rgb[0] / 255.0), SrgbToLinear(rgb[1] / 255.0), SrgbToLinear(rgb[2] / 255.0)};
    const Vec3 xyz = Times(RgbToXyz(kSrgbPrimaries), linear);
    const Vec3 white = {0.3127 / 0.3290, 1.0, (1 - 0.3127 - 0.3290) / 0.3290};
    auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    const double fx = f(xyz[0] / white[0]), fy = f(xyz[1] / white[1]), fz = f(xyz[2] / white[2]);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

inline double DeltaE2000(const Vec3& lab1, const Vec3& lab2) {
    const double pi = 3.14159265358979323846;
    auto deg = [&](double r) { return r * 180 / pi; };
    auto rad = [&](double d) { return d * pi / 180; };
    const double c1 = std::hypot(lab1[1], lab1[2]), c2 = std::hypot(lab2[1], lab2[2]);
    const double cBar = (c1 + c2) / 2;
    const double g = 0.5 * (1 - std::sqrt(std::pow(cBar, 7) / (std::pow(cBar, 7) + std::pow(25.0, 7))));
    const double a1 = (1 + g) * lab1[1], a2 = (1 + g) * lab2[1];
    const double cp1 = std::hypot(a1, lab1[2]), cp2 = std::hypot(a2, lab2[2]);
    auto hue = [&](double b, double a) {
        if (a == 0 && b == 0)
            return 0.0;
        const double h = deg(std::atan2(b, a));
        return h < 0 ? h + 360 : h;
    };
    const double hp1 = hue(lab1[2], a1), hp2 = hue(lab2[2], a2);
    const double dL = lab2[0] - lab1[0], dC = cp2 - cp1;
    double dh = 0;
    if (cp1 * cp2 != 0) {
        dh = hp2 - hp1;
        if (dh > 180)
            dh -= 360;
        else if (dh < -180)
            dh += 360;
    }
    const double dH = 2 * std::sqrt(cp1 * cp2) * std::sin(rad(dh / 2));
    const double lBar = (lab1[0] + lab2[0]) / 2, cpBar = (cp1 + cp2) / 2;
    double hBar = hp1 + hp2;
    if (cp1 * cp2 != 0) {
        if (std::abs(hp1 - hp2) <= 180)
            hBar /= 2;
        else
            hBar = hBar < 360 ? (hBar + 360) / 2 : (hBar - 360) / 2;
    }
    const double t = 1 - 0.17 * std::cos(rad(hBar - 30)) + 0.24 * std::cos(rad(2 * hBar)) +
                     0.32 * std::cos(rad(3 * hBar + 6)) - 0.20 * std::cos(rad(4 * hBar - 63));
    const double dTheta = 30 * std::exp(-std::pow((hBar - 275) / 25, 2));
    const double rc = 2 * std::sqrt(std::pow(cpBar, 7) / (std::pow(cpBar, 7) + std::pow(25.0, 7)));
    const double sl = 1 + 0.015 * std::pow(lBar - 50, 2) / std::sqrt(20 + std::pow(lBar - 50, 2));
    const double sc = 1 + 0.045 * cpBar, sh = 1 + 0.015 * cpBar * t;
    const double rt = -std::sin(rad(2 * dTheta)) * rc;
    return std::sqrt(std::pow(dL / sl, 2) + std::pow(dC / sc, 2) + std::pow(dH / sh, 2) +
                     rt * (dC / sc) * (dH / sh));
}

// Mean and 99th percentile of the differences of two pictures, pixel by pixel.
struct Differences {
    double mean = 0;
    double p99 = 0;
};

inline Differences Compare(const uint8_t* a, const uint8_t* b, size_t pixels) {
    std::vector<double> d(pixels);
    double sum = 0;
    for (size_t i = 0; i < pixels; ++i)
        sum += d[i] = DeltaE2000(Lab(a + 3 * i), Lab(b + 3 * i));
    std::sort(d.begin(), d.end());
    return {pixels ? sum / double(pixels) : 0, pixels ? d[std::min(pixels - 1, pixels * 99 / 100)] : 0};
}

} // namespace colourtest

#include "CorpusFiles.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace corpus {

std::string PathOf(const std::string& file) {
    return std::string(SNAPWELL_CORPUS_DIR) + "/" + file;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<Entry> Manifest() {
    std::vector<Entry> entries;
    std::ifstream in(PathOf("MANIFEST.tsv"));
    std::string line;
    std::getline(in, line); // column names
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream fields(line);
        Entry e;
        std::string width, height, expect;
        if (!std::getline(fields, e.file, '\t') || !std::getline(fields, e.format, '\t') ||
            !std::getline(fields, width, '\t') || !std::getline(fields, height, '\t') ||
            !std::getline(fields, expect, '\t'))
            continue;
        std::getline(fields, e.notes);
        e.width = std::atoi(width.c_str());
        e.height = std::atoi(height.c_str());
        e.load = expect == "load";
        entries.push_back(e);
    }
    return entries;
}

Picture ReadPpm(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    size_t at = 0;
    // Header: "P6", width, height, maxval, each after white space (and comments).
    auto next = [&]() -> long {
        while (at < bytes.size()) {
            if (bytes[at] == '#') {
                while (at < bytes.size() && bytes[at] != '\n')
                    ++at;
            } else if (std::isspace(bytes[at])) {
                ++at;
            } else {
                break;
            }
        }
        long v = 0;
        bool any = false;
        while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9') {
            v = v * 10 + (bytes[at++] - '0');
            any = true;
        }
        return any ? v : -1;
    };
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        return {};
    at = 2;
    const long w = next(), h = next(), maxval = next();
    if (w <= 0 || h <= 0 || maxval != 255)
        return {};
    ++at; // the single white-space byte before the samples
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h) * 3;
    if (bytes.size() < at + n)
        return {};
    return {static_cast<int>(w), static_cast<int>(h),
            std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + n)};
}

isource::ImageFormat FormatNamed(const std::string& name) {
    using isource::ImageFormat;
    if (name == "jpeg")
        return ImageFormat::Jpeg;
    if (name == "png")
        return ImageFormat::Png;
    if (name == "tiff")
        return ImageFormat::Tiff;
    if (name == "bmp")
        return ImageFormat::Bmp;
    if (name == "psd")
        return ImageFormat::Psd;
    return ImageFormat::Unknown;
}

int MaxDifference(const Picture& a, const Picture& b) {
    int worst = 0;
    for (size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); ++i)
        worst = std::max(worst, std::abs(a.rgb[i] - b.rgb[i]));
    return worst;
}

double Psnr(const Picture& a, const Picture& b) {
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); ++i) {
        const double d = double(a.rgb[i]) - double(b.rgb[i]);
        sum += d * d;
    }
    if (sum == 0 || a.rgb.empty())
        return 99;
    return 10 * std::log10(255.0 * 255.0 / (sum / double(a.rgb.size())));
}

Picture Upright(const Picture& stored, int orientation) {
    const int w = stored.width, h = stored.height;
    const bool swaps = orientation >= 5;
    Picture out{swaps ? h : w, swaps ? w : h, {}};
    out.rgb.resize(stored.rgb.size());
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            // Where the upright pixel (x, y) was stored.
            int sx = x, sy = y;
            switch (orientation) {
            case 2:
                sx = w - 1 - x;
                break; // mirrored
            case 3:
                sx = w - 1 - x, sy = h - 1 - y;
                break; // upside down
            case 4:
                sy = h - 1 - y;
                break; // flipped
            case 5:
                sx = y, sy = x;
                break; // transposed
            case 6:
                sx = y, sy = h - 1 - x;
                break; // stored turned anticlockwise
            case 7:
                sx = w - 1 - y, sy = h - 1 - x;
                break; // transverse
            case 8:
                sx = w - 1 - y, sy = x;
                break; // stored turned clockwise
            default:
                break;
            }
            for (int c = 0; c < 3; ++c)
                out.rgb[(size_t(y) * out.width + x) * 3 + c] = stored.rgb[(size_t(sy) * w + sx) * 3 + c];
        }
    }
    return out;
}

} // namespace corpus

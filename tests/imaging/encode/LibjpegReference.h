// libjpeg itself as the yardstick for the JPEG writer: its own encoder with
// its optimisation pass, and what its decoder reads from a file (tables,
// quantisers, coefficients, pixels). Plus the test pictures.
#pragma once

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <jpeglib.h>

#include "imaging/isource/encode/HuffmanStatistics.h"
#include "imaging/isource/encode/HuffmanTable.h"
#include "imaging/isource/encode/JpegWriter.h"

namespace encode_test {

struct Picture {
    int width = 0, height = 0, bpp = 0;
    std::vector<uint8_t> pixels; // rows width * bpp bytes apart
};

struct JumpError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

inline void JumpOut(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JumpError*>(cinfo->err)->jump, 1);
}

// libjpeg's file for the picture with the settings of our writer (baseline,
// JFIF, islow DCT, 4:4:4 for colour at quality 90 and above) and its own
// optimisation pass making the Huffman tables. Empty on an error.
inline std::vector<uint8_t> LibjpegOptimised(const Picture& p, int quality) {
    jpeg_compress_struct cinfo{};
    JumpError err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JumpOut;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(p.width);
    cinfo.image_height = JDIMENSION(p.height);
    cinfo.input_components = p.bpp;
    cinfo.in_color_space = p.bpp == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    cinfo.write_JFIF_header = TRUE;
    cinfo.dct_method = JDCT_ISLOW;
    if (p.bpp == 3 && quality >= isource::kFullChromaQuality)
        for (int c = 0; c < cinfo.num_components; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(p.pixels.data() + size_t(cinfo.next_scanline) * p.width * p.bpp);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

// What libjpeg's decoder finds in a file.
struct FileContents {
    int width = 0, height = 0, components = 0;
    isource::HuffmanTable dc[2]{}, ac[2]{}; // by table number
    isource::QuantSteps steps{};            // luminance's and the first chroma component's
    std::vector<JCOEF> coefficients;        // every block of every component, in file order
    std::vector<uint8_t> pixels;
};

inline void CopyTable(const JHUFF_TBL* from, isource::HuffmanTable& to) {
    if (from == nullptr)
        return;
    std::memcpy(to.bits, from->bits, sizeof to.bits);
    int symbols = 0;
    for (int n = 1; n <= 16; ++n)
        symbols += from->bits[n];
    std::memcpy(to.huffval, from->huffval, size_t(symbols));
}

// Reads the tables and coefficients (and the pixels when asked); false on
// any error or warning.
inline bool ReadFile(const std::vector<uint8_t>& file, FileContents& out, bool withPixels) {
    jpeg_decompress_struct cinfo{};
    JumpError err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JumpOut;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(file.data()), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    out.width = int(cinfo.image_width);
    out.height = int(cinfo.image_height);
    out.components = cinfo.num_components;
    for (int t = 0; t < 2; ++t) {
        CopyTable(cinfo.dc_huff_tbl_ptrs[t], out.dc[t]);
        CopyTable(cinfo.ac_huff_tbl_ptrs[t], out.ac[t]);
    }
    const JQUANT_TBL* luma = cinfo.quant_tbl_ptrs[cinfo.comp_info[0].quant_tbl_no];
    const JQUANT_TBL* chroma =
        cinfo.num_components > 1 ? cinfo.quant_tbl_ptrs[cinfo.comp_info[1].quant_tbl_no] : luma;
    for (int i = 0; i < DCTSIZE2; ++i) {
        out.steps.luma[i] = luma->quantval[i];
        out.steps.chroma[i] = chroma->quantval[i];
    }
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&cinfo);
    for (int c = 0; c < cinfo.num_components; ++c) {
        const jpeg_component_info& comp = cinfo.comp_info[c];
        for (JDIMENSION row = 0; row < comp.height_in_blocks; ++row) {
            JBLOCKARRAY blocks = cinfo.mem->access_virt_barray(reinterpret_cast<j_common_ptr>(&cinfo), arrays[c],
                                                               row, 1, FALSE);
            for (JDIMENSION b = 0; b < comp.width_in_blocks; ++b)
                out.coefficients.insert(out.coefficients.end(), blocks[0][b], blocks[0][b] + DCTSIZE2);
        }
    }
    jpeg_finish_decompress(&cinfo);
    bool clean = cinfo.err->num_warnings == 0;
    if (withPixels) {
        // A second decoder for the pixels: coefficient reading ends the first.
        jpeg_mem_src(&cinfo, const_cast<unsigned char*>(file.data()), static_cast<unsigned long>(file.size()));
        jpeg_read_header(&cinfo, TRUE);
        jpeg_start_decompress(&cinfo);
        const size_t rowBytes = size_t(cinfo.output_width) * cinfo.output_components;
        out.pixels.resize(rowBytes * cinfo.output_height);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = out.pixels.data() + cinfo.output_scanline * rowBytes;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        clean = clean && cinfo.err->num_warnings == 0;
    }
    jpeg_destroy_decompress(&cinfo);
    return clean;
}

inline ::testing::AssertionResult SameTable(const isource::HuffmanTable& ours, const isource::HuffmanTable& theirs) {
    int symbols = 0;
    for (int n = 1; n <= 16; ++n) {
        if (ours.bits[n] != theirs.bits[n])
            return ::testing::AssertionFailure() << "codes of length " << n << ": " << int(ours.bits[n])
                                                 << " instead of " << int(theirs.bits[n]);
        symbols += ours.bits[n];
    }
    for (int i = 0; i < symbols; ++i)
        if (ours.huffval[i] != theirs.huffval[i])
            return ::testing::AssertionFailure() << "symbol " << i << ": " << int(ours.huffval[i]) << " instead of "
                                                 << int(theirs.huffval[i]);
    return ::testing::AssertionSuccess();
}

// A file's bytes, empty when it cannot be read.
inline std::vector<uint8_t> FileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[65536];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
    }
    return bytes;
}

// A corpus JPEG as libjpeg decodes it (grey stays grey).
inline Picture CorpusPicture(const char* name) {
    Picture p;
    FileContents contents;
    const std::vector<uint8_t> file = FileBytes(std::string(SNAPWELL_CORPUS_DIR) + "/" + name);
    if (file.empty() || !ReadFile(file, contents, true) || (contents.components != 1 && contents.components != 3))
        return p;
    p.width = contents.width;
    p.height = contents.height;
    p.bpp = contents.components;
    p.pixels = std::move(contents.pixels);
    return p;
}

// Each sample from f(x, y, channel).
template <typename F>
Picture Make(int width, int height, int bpp, F f) {
    Picture p{width, height, bpp, std::vector<uint8_t>(size_t(width) * height * bpp)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < bpp; ++c)
                p.pixels[(size_t(y) * width + x) * bpp + c] = uint8_t(f(x, y, c));
    return p;
}

// Uniform noise from a fixed seed.
inline Picture Noise(int width, int height, int bpp, uint32_t seed) {
    return Make(width, height, bpp, [&](int, int, int) {
        seed = seed * 1664525u + 1013904223u;
        return int(seed >> 24);
    });
}

inline std::vector<uint8_t> OurFile(const Picture& p, int quality) {
    struct Sink : isource::ByteSink {
        std::vector<uint8_t> bytes;
        bool Write(const uint8_t* data, size_t size) override {
            bytes.insert(bytes.end(), data, data + size);
            return true;
        }
    } sink;
    if (!isource::EncodeJpeg(p.pixels.data(), p.width, p.height, p.width * p.bpp, p.bpp, quality, sink))
        sink.bytes.clear();
    return sink.bytes;
}

} // namespace encode_test

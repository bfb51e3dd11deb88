// libjpeg itself as the yardstick for the JPEG writer: its encoder with its
// optimisation pass, and what its decoder reads from a file. Plus the test
// pictures.
#pragma once

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "imaging/isource/encode/HuffmanStatistics.h"
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

// libjpeg's file with our writer's settings (baseline, JFIF, islow DCT,
// 4:4:4 colour from quality 90) and its optimisation pass making the
// tables. Empty on an error.
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

// A Huffman table as DHT holds it: the 16 code counts, then the symbols.
inline std::vector<int> Entries(const uint8_t* bits, const uint8_t* huffval) {
    std::vector<int> entries(bits + 1, bits + 17);
    int symbols = 0;
    for (int n = 1; n <= 16; ++n)
        symbols += bits[n];
    entries.insert(entries.end(), huffval, huffval + symbols);
    return entries;
}

inline std::vector<int> Entries(const isource::HuffmanTable& t) {
    return Entries(t.bits, t.huffval);
}

// What libjpeg's decoder finds in a file.
struct FileContents {
    std::vector<int> dc[2], ac[2]; // tables by number, as Entries
    isource::QuantSteps steps{};   // luminance's and the first chroma component's
    std::vector<JCOEF> coefficients;
};

// False on any error or warning.
inline bool ReadFile(const std::vector<uint8_t>& file, FileContents& out) {
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
    for (int t = 0; t < 2; ++t) {
        if (const JHUFF_TBL* dc = cinfo.dc_huff_tbl_ptrs[t])
            out.dc[t] = Entries(dc->bits, dc->huffval);
        if (const JHUFF_TBL* ac = cinfo.ac_huff_tbl_ptrs[t])
            out.ac[t] = Entries(ac->bits, ac->huffval);
    }
    const jpeg_component_info* comp = cinfo.comp_info;
    const JQUANT_TBL* luma = cinfo.quant_tbl_ptrs[comp[0].quant_tbl_no];
    const JQUANT_TBL* chroma = cinfo.num_components > 1 ? cinfo.quant_tbl_ptrs[comp[1].quant_tbl_no] : luma;
    std::copy_n(luma->quantval, DCTSIZE2, out.steps.luma);
    std::copy_n(chroma->quantval, DCTSIZE2, out.steps.chroma);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&cinfo);
    for (int c = 0; c < cinfo.num_components; ++c)
        for (JDIMENSION row = 0; row < comp[c].height_in_blocks; ++row) {
            JBLOCKARRAY blocks = cinfo.mem->access_virt_barray(reinterpret_cast<j_common_ptr>(&cinfo),
                                                               arrays[c], row, 1, FALSE);
            for (JDIMENSION b = 0; b < comp[c].width_in_blocks; ++b)
                out.coefficients.insert(out.coefficients.end(), blocks[0][b], blocks[0][b] + DCTSIZE2);
        }
    jpeg_finish_decompress(&cinfo);
    const bool clean = cinfo.err->num_warnings == 0;
    jpeg_destroy_decompress(&cinfo);
    return clean;
}

// A corpus photo's reference decode (P6), as grey when bpp is 1.
inline Picture CorpusPicture(const char* name, int bpp) {
    Picture p;
    std::FILE* f = std::fopen((std::string(SNAPWELL_CORPUS_DIR) + "/" + name).c_str(), "rb");
    int maxValue = 0;
    if (f != nullptr && std::fscanf(f, "P6 %d %d %d", &p.width, &p.height, &maxValue) == 3 &&
        maxValue == 255 && std::fgetc(f) != EOF) {
        std::vector<uint8_t> rgb(size_t(p.width) * p.height * 3);
        if (std::fread(rgb.data(), 1, rgb.size(), f) == rgb.size()) {
            p.bpp = bpp;
            for (size_t i = 0; i < rgb.size(); i += 3)
                p.pixels.insert(p.pixels.end(), rgb.begin() + ptrdiff_t(i), rgb.begin() + ptrdiff_t(i) + bpp);
        }
    }
    if (f != nullptr)
        std::fclose(f);
    return p;
}

// Each sample from f(x, y, channel).
template <typename F> Picture Make(int width, int height, int bpp, F f) {
    Picture p{width, height, bpp, std::vector<uint8_t>(size_t(width) * height * bpp)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < bpp; ++c)
                p.pixels[(size_t(y) * width + x) * bpp + c] = uint8_t(f(x, y, c));
    return p;
}

inline Picture Noise(int width, int height, int bpp, uint32_t seed) {
    return Make(width, height, bpp, [&](int, int, int) {
        seed = seed * 1664525u + 1013904223u;
        return int(seed >> 24);
    });
}

} // namespace encode_test

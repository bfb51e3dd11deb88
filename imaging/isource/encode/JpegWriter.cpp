#include "imaging/isource/encode/JpegWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

#include "imaging/isource/encode/HuffmanStatistics.h"
#include "imaging/isource/encode/HuffmanTable.h"

namespace isource {
namespace {

constexpr size_t kBufferBytes = 64 * 1024;
constexpr JDIMENSION kRowsPerCall = 16;

// libjpeg reports errors through a callback that must not return: jump back
// to the encoder's frame instead of the library's default exit().
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

struct Destination {
    jpeg_destination_mgr pub;
    ByteSink* sink;
    JOCTET buffer[kBufferBytes];
};

void OnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void OnMessage(j_common_ptr) {}

void InitDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kBufferBytes;
}

boolean EmptyBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    if (!dest->sink->Write(dest->buffer, kBufferBytes))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    InitDestination(cinfo);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    const size_t used = kBufferBytes - dest->pub.free_in_buffer;
    if (used > 0 && !dest->sink->Write(dest->buffer, used))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

// Huffman tables made for the picture by our own statistics pass: [0] for
// luminance (or grey), [1] for both chroma components.
struct ScanTables {
    HuffmanTable dc[2];
    HuffmanTable ac[2];
};

// Counts the scan's symbols the way libjpeg's optimisation pass would, for
// the one-block-per-component MCUs and the quantisers cinfo holds, and
// makes the tables to write with. Every symbol a baseline scan can contain gets a
// code, so that a miscount could cost bytes but never break the file:
// libjpeg writes bad data, and reports nothing, for a symbol without one.
// False when the pass cannot be used here (libjpeg then makes the tables).
// Makes no libjpeg call, so no longjmp passes through it.
bool MakeScanTables(const jpeg_compress_struct& cinfo, const uint8_t* pixels, int32_t width, int32_t height,
                    int32_t stride, int32_t bpp, ScanTables& tables) {
    // Left to libjpeg to refuse.
    if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION)
        return false;
    const jpeg_component_info* comp = cinfo.comp_info;
    for (int c = 0; c < cinfo.num_components; ++c)
        if (comp[c].h_samp_factor != 1 || comp[c].v_samp_factor != 1)
            return false;
    // The chroma components must share their quantiser and tables.
    if (cinfo.num_components == 3 &&
        (comp[2].quant_tbl_no != comp[1].quant_tbl_no || comp[2].dc_tbl_no != comp[1].dc_tbl_no ||
         comp[2].ac_tbl_no != comp[1].ac_tbl_no || comp[1].dc_tbl_no == comp[0].dc_tbl_no ||
         comp[1].ac_tbl_no == comp[0].ac_tbl_no))
        return false;
    const JQUANT_TBL* luma = cinfo.quant_tbl_ptrs[comp[0].quant_tbl_no];
    const JQUANT_TBL* chroma = cinfo.num_components == 3 ? cinfo.quant_tbl_ptrs[comp[1].quant_tbl_no] : luma;
    if (luma == nullptr || chroma == nullptr)
        return false;
    QuantSteps steps;
    for (int i = 0; i < DCTSIZE2; ++i) {
        steps.luma[i] = luma->quantval[i];
        steps.chroma[i] = chroma->quantval[i];
    }
    ScanStatistics counts;
    if (!CountScanSymbols(pixels, width, height, stride, bpp, steps, counts))
        return false;
    for (int t = 0; t < 2; ++t) {
        CountEverySymbol(counts.dc[t], TableClass::kDc);
        CountEverySymbol(counts.ac[t], TableClass::kAc);
        tables.dc[t] = OptimalHuffmanTable(counts.dc[t]);
        tables.ac[t] = OptimalHuffmanTable(counts.ac[t]);
    }
    return true;
}

void Install(jpeg_compress_struct& cinfo, JHUFF_TBL*& slot, const HuffmanTable& table) {
    slot = jpeg_alloc_huff_table(reinterpret_cast<j_common_ptr>(&cinfo));
    std::memcpy(slot->bits, table.bits, sizeof slot->bits);
    std::memcpy(slot->huffval, table.huffval, sizeof slot->huffval);
    slot->sent_table = FALSE;
}

// Kept apart from EncodeJpeg so that nothing with a destructor lives in the
// frame that longjmp returns to.
bool Encode(jpeg_compress_struct& cinfo, ErrorManager& err, Destination& dest, const uint8_t* pixels,
            int32_t width, int32_t height, int32_t stride, int32_t bpp, int32_t quality,
            const std::vector<uint8_t>* exif) {
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.output_message = OnMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest.pub.init_destination = InitDestination;
    dest.pub.empty_output_buffer = EmptyBuffer;
    dest.pub.term_destination = TermDestination;
    cinfo.dest = &dest.pub;

    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = bpp;
    cinfo.in_color_space = bpp == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.write_JFIF_header = TRUE;
    cinfo.dct_method = JDCT_ISLOW;
    if (bpp == 3 && quality >= kFullChromaQuality)
        for (int c = 0; c < cinfo.num_components; ++c) {
            cinfo.comp_info[c].h_samp_factor = 1;
            cinfo.comp_info[c].v_samp_factor = 1;
        }
    // Full-resolution pictures get their tables from our statistics pass
    // and are written in one pass; libjpeg's own two-pass optimisation is
    // for the rest, and for when our pass cannot run.
    ScanTables tables;
    const bool ownTables = (bpp == 1 || quality >= kFullChromaQuality) &&
                           MakeScanTables(cinfo, pixels, width, height, stride, bpp, tables);
    if (ownTables)
        for (int c = 0; c < std::min(cinfo.num_components, 2); ++c) {
            Install(cinfo, cinfo.dc_huff_tbl_ptrs[cinfo.comp_info[c].dc_tbl_no], tables.dc[c]);
            Install(cinfo, cinfo.ac_huff_tbl_ptrs[cinfo.comp_info[c].ac_tbl_no], tables.ac[c]);
        }
    cinfo.optimize_coding = ownTables ? FALSE : TRUE;

    jpeg_start_compress(&cinfo, TRUE);
    if (exif != nullptr && !exif->empty())
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, exif->data(), static_cast<unsigned int>(exif->size()));
    JSAMPROW rows[kRowsPerCall];
    while (cinfo.next_scanline < cinfo.image_height) {
        const JDIMENSION n = std::min(kRowsPerCall, cinfo.image_height - cinfo.next_scanline);
        for (JDIMENSION i = 0; i < n; ++i)
            rows[i] = const_cast<JSAMPROW>(pixels + ptrdiff_t(cinfo.next_scanline + i) * stride);
        jpeg_write_scanlines(&cinfo, rows, n);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

bool EncodeJpeg(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride, int32_t bpp,
                int32_t quality, ByteSink& sink, const std::vector<uint8_t>* exif) {
    if (pixels == nullptr || width <= 0 || height <= 0 || (bpp != 1 && bpp != 3) ||
        int64_t{stride} < int64_t{width} * bpp || (exif != nullptr && exif->size() > 65533))
        return false;
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    auto dest = std::make_unique<Destination>();
    dest->sink = &sink;
    return Encode(cinfo, err, *dest, pixels, width, height, stride, bpp, std::clamp(quality, 1, 100), exif);
}

} // namespace isource

#include "imaging/isource/encode/JpegWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

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

// Kept apart from EncodeJpeg so that nothing with a destructor lives in the
// frame that longjmp returns to.
bool Encode(jpeg_compress_struct& cinfo, ErrorManager& err, Destination& dest, const uint8_t* pixels,
            int32_t width, int32_t height, int32_t stride, int32_t bpp, int32_t quality) {
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
    cinfo.optimize_coding = TRUE;
    cinfo.write_JFIF_header = TRUE;
    cinfo.dct_method = JDCT_ISLOW;
    if (bpp == 3 && quality >= kFullChromaQuality)
        for (int c = 0; c < cinfo.num_components; ++c) {
            cinfo.comp_info[c].h_samp_factor = 1;
            cinfo.comp_info[c].v_samp_factor = 1;
        }

    jpeg_start_compress(&cinfo, TRUE);
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
                int32_t quality, ByteSink& sink) {
    if (pixels == nullptr || width <= 0 || height <= 0 || (bpp != 1 && bpp != 3) ||
        int64_t{stride} < int64_t{width} * bpp)
        return false;
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    auto dest = std::make_unique<Destination>();
    dest->sink = &sink;
    return Encode(cinfo, err, *dest, pixels, width, height, stride, bpp, std::clamp(quality, 1, 100));
}

} // namespace isource

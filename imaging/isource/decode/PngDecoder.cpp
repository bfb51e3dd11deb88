// PNG through libpng: every colour type and bit depth, palettes with tRNS,
// Adam7 interlacing. libpng expands everything to RGB or RGBA at 8 or 16
// bits; the rounding to 8 bits and the compositing on white are ours, so
// they follow one rule for every format. Interlaced files are read pass by
// pass and each pass's pixels put straight into their places, so no
// intermediate picture is needed. As with libjpeg, errors jump back to the
// function holding the setjmp; the job one frame up owns the resources.
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

#include <png.h>

#include "imaging/isource/decode/Colour.h"
#include "imaging/isource/decode/Decoders.h"
#include "imaging/isource/decode/Exif.h"
#include "imaging/isource/decode/SampleRow.h"
#include "imaging/isource/decode/UprightCanvas.h"

namespace isource {
namespace {

struct PngJob {
    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    size_t m_nRead = 0;
    PixelSink* m_pSink = nullptr;

    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    UprightCanvas m_canvas;
    std::vector<uint8_t> m_vRow;
    std::unique_ptr<ColourConversion> m_pColour;
    DecodeStatus m_status = DecodeStatus::Corrupt;

    PngJob(const uint8_t* data, size_t size, PixelSink& sink)
        : m_pData(data), m_nSize(size), m_pSink(&sink) {}
    PngJob(const PngJob&) = delete;
    PngJob& operator=(const PngJob&) = delete;
    ~PngJob() {
        if (m_png)
            png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr);
    }

    void Run();
    int ReadColourAndOrientation();
};

void ReadFromMemory(png_structp png, png_bytep to, size_t length) {
    PngJob* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (length > job->m_nSize - job->m_nRead)
        png_error(png, "truncated");
    std::memcpy(to, job->m_pData + job->m_nRead, length);
    job->m_nRead += length;
}

void OnPngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// The chunks read besides the picture's own: the colour chunks and the
// EXIF block (for its orientation). A damaged one of these counts as absent.
const png_byte kReadChunks[] = "iCCP\0sRGB\0gAMA\0cHRM\0eXIf";
constexpr int kReadChunkCount = 5;

// libpng warns about damaged data it then skips (bad CRCs, extra or missing
// image data, palette indices out of range); such a file fails. Its
// warnings about the chunks above (which name the chunk first) concern
// metadata it then ignores, and the picture is whole.
void OnPngWarning(png_structp png, png_const_charp message) {
    for (int i = 0; i < kReadChunkCount; ++i) {
        const char* chunk = reinterpret_cast<const char*>(kReadChunks) + i * 5;
        if (std::strncmp(message, chunk, 4) == 0 && message[4] == ':')
            return;
    }
    png_longjmp(png, 1);
}

bool HostIsLittleEndian() {
    const uint16_t one = 1;
    uint8_t first;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

// The colour conversion the colour chunks ask for, and the orientation of
// an eXIf chunk before the image data (as a JPEG's EXIF would turn it).
// Reads what libpng read already; no libpng error can arise here.
int PngJob::ReadColourAndOrientation() {
    const int colourType = png_get_color_type(m_png, m_info);
    ColourTag tag;
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileBytes = 0;
    if (png_get_iCCP(m_png, m_info, &name, &compression, &profile, &profileBytes) && profile)
        tag.icc.assign(profile, profile + profileBytes);
    tag.srgb = png_get_valid(m_png, m_info, PNG_INFO_sRGB) != 0;
    png_fixed_point gamma = 0;
    if (png_get_gAMA_fixed(m_png, m_info, &gamma) && gamma > 0)
        tag.pngGamma = static_cast<uint32_t>(gamma);
    double* c = tag.chromaticities;
    tag.hasChromaticities =
        png_get_cHRM(m_png, m_info, &c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7]) != 0;
    m_pColour = ColourConversion::ForSamples(
        tag, (colourType & PNG_COLOR_MASK_COLOR) != 0 ? SampleSpace::Rgb : SampleSpace::Grey);

    int orientation = kUpright;
    png_uint_32 exifBytes = 0;
    png_bytep exif = nullptr;
    if (png_get_eXIf_1(m_png, m_info, &exifBytes, &exif) && exif)
        orientation = TiffOrientation(exif, exifBytes);

    return orientation;
}

void PngJob::Run() {
    m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, OnPngError, OnPngWarning);
    if (!m_png) {
        m_status = DecodeStatus::OutOfMemory;
        return;
    }
    m_info = png_create_info_struct(m_png);
    if (!m_info) {
        m_status = DecodeStatus::OutOfMemory;
        return;
    }
    if (setjmp(png_jmpbuf(m_png))) {
        if (m_status == DecodeStatus::Ok)
            m_status = DecodeStatus::Corrupt;
        return;
    }
    png_set_read_fn(m_png, this, ReadFromMemory);
    // Our own size rule replaces libpng's default million-pixel sides.
    png_set_user_limits(m_png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    // Skip every chunk but IHDR, PLTE, tRNS, IDAT, IEND and the few above:
    // text and the like play no part in the picture, and their compressed
    // contents cannot cost memory if they are never inflated (libpng caps an
    // iCCP profile's at 8 MB).
    png_set_keep_unknown_chunks(m_png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_keep_unknown_chunks(m_png, PNG_HANDLE_CHUNK_AS_DEFAULT, kReadChunks, kReadChunkCount);

    png_read_info(m_png, m_info);
    const png_uint_32 width = png_get_image_width(m_png, m_info);
    const png_uint_32 height = png_get_image_height(m_png, m_info);
    if (!PictureSizeAcceptable(width, height)) {
        m_status = DecodeStatus::TooLarge;
        return;
    }
    // Expanded, a 16-bit RGBA row takes 8 bytes a pixel, so the widest
    // pictures that pass the size rule have rows larger than any picture we
    // would hold (and than a 32-bit libpng can size).
    const bool alpha = (png_get_color_type(m_png, m_info) & PNG_COLOR_MASK_ALPHA) != 0 ||
                       png_get_valid(m_png, m_info, PNG_INFO_tRNS) != 0;
    const uint64_t expandedRow =
        static_cast<uint64_t>(width) * (alpha ? 4 : 3) * (png_get_bit_depth(m_png, m_info) == 16 ? 2 : 1);
    if (expandedRow > kMaxPictureBytes) {
        m_status = DecodeStatus::TooLarge;
        return;
    }
    png_set_expand(m_png); // palette to RGB, low-bit grey to 8 bits, tRNS to alpha
    png_set_gray_to_rgb(m_png);
    if (png_get_bit_depth(m_png, m_info) == 16 && HostIsLittleEndian())
        png_set_swap(m_png);
    png_read_update_info(m_png, m_info);

    SampleLayout layout;
    layout.model = ColourModel::Rgb;
    layout.bitsPerSample = png_get_bit_depth(m_png, m_info);
    layout.samplesPerPixel = png_get_channels(m_png, m_info);
    if (layout.samplesPerPixel == 4) {
        layout.alpha = AlphaKind::Straight;
        layout.alphaSample = 3;
    }
    const size_t rowBytes = png_get_rowbytes(m_png, m_info);

    // Locals with destructors stay out of this frame, which libpng's errors
    // jump back into.
    const int orientation = ReadColourAndOrientation();
    m_status = m_canvas.Open(*m_pSink, width, height, orientation);
    if (m_status != DecodeStatus::Ok)
        return;
    m_status = DecodeStatus::Corrupt;
    m_vRow.resize(rowBytes);
    const uint8_t* plane = m_vRow.data();

    if (png_get_interlace_type(m_png, m_info) == PNG_INTERLACE_NONE) {
        for (png_uint_32 y = 0; y < height; ++y) {
            if (m_pSink->Cancelled()) {
                m_status = DecodeStatus::Cancelled;
                return;
            }
            png_read_row(m_png, m_vRow.data(), nullptr);
            ConvertSamples(layout, &plane, width, m_canvas.Row(static_cast<int32_t>(y)));
        }
    } else {
        // Without libpng's interlace handling each row read is one row of
        // the current pass, holding that pass's pixels only.
        for (int pass = 0; pass < 7; ++pass) {
            const png_uint_32 cols = PNG_PASS_COLS(width, pass);
            const png_uint_32 rows = PNG_PASS_ROWS(height, pass);
            if (cols == 0 || rows == 0)
                continue;
            const size_t step = static_cast<size_t>(3) << PNG_PASS_COL_SHIFT(pass);
            for (png_uint_32 r = 0; r < rows; ++r) {
                if (m_pSink->Cancelled()) {
                    m_status = DecodeStatus::Cancelled;
                    return;
                }
                png_read_row(m_png, m_vRow.data(), nullptr);
                const png_uint_32 y = PNG_ROW_FROM_PASS_ROW(r, pass);
                ConvertSamples(layout, &plane, cols,
                               m_canvas.Row(static_cast<int32_t>(y)) + 3 * PNG_PASS_START_COL(pass), step);
            }
        }
    }
    // On to IEND, so that a file cut after its image data fails too.
    png_read_end(m_png, nullptr);
    m_canvas.Finish(m_pColour.get());
    m_status = DecodeStatus::Ok;
}

} // namespace

DecodeStatus DecodePng(const uint8_t* data, size_t size, PixelSink& sink) {
    PngJob job(data, size, sink);
    job.Run();
    return job.m_status;
}

} // namespace isource

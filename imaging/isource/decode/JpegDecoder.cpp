// JPEG through libjpeg-turbo: baseline, progressive and arithmetic coding,
// greyscale, YCbCr, RGB, CMYK and YCCK; the EXIF orientation is applied.
// libjpeg reports errors through a callback that must not return; it jumps
// back to the one function that holds the setjmp, whose frame owns nothing
// that needs a destructor (everything lives in JpegJob, one frame up).
#include <algorithm>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "imaging/isource/decode/Decoders.h"
#include "imaging/isource/decode/Exif.h"
#include "imaging/isource/decode/SampleRow.h"
#include "imaging/isource/decode/UprightCanvas.h"

namespace isource {
namespace {

// Bound on libjpeg's own memory (mostly the coefficient arrays of
// progressive files), on top of the picture itself. Beyond it libjpeg asks
// for a backing store, which we do not have, and stops.
constexpr long kJpegMemoryLimit = 768L * 1024 * 1024;

// Encoders write a handful of scans (ten for a usual progressive file); a
// file of thousands of tiny scans, each making libjpeg walk every block of
// the picture, is an attack on the time a decode takes.
constexpr int kMaxScans = 500;

struct JpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
}

// Warnings are libjpeg's word for damaged data it would paper over (missing
// data filled with grey, bad codes skipped); a picture like that is not the
// file's picture, so every warning but two about metadata we never use ends
// the decode.
void OnJpegMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return; // trace messages
    const int code = cinfo->err->msg_code;
    if (code == JWRN_JFIF_MAJOR || code == JWRN_BOGUS_ICC)
        return;
    OnJpegError(cinfo);
}

void SilentOutput(j_common_ptr) {}

void OnJpegProgress(j_common_ptr cinfo) {
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        cinfo->err->msg_code = JWRN_BOGUS_PROGRESSION;
        OnJpegError(cinfo);
    }
}

DecodeStatus StatusOfError(int code) {
    switch (code) {
    case JERR_OUT_OF_MEMORY:
        return DecodeStatus::OutOfMemory;
    case JERR_NO_BACKING_STORE:
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return DecodeStatus::TooLarge;
    case JERR_BAD_PRECISION:
    case JERR_NOT_COMPILED:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_SOF_UNSUPPORTED:
    case JERR_ARITH_NOTIMPL:
        return DecodeStatus::Unsupported;
    default:
        return DecodeStatus::Corrupt;
    }
}

int OrientationOf(const jpeg_decompress_struct& cinfo) {
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1) {
            const int orientation = ExifOrientation(m->data, m->data_length);
            if (orientation != kUpright)
                return orientation;
        }
    }
    return kUpright;
}

struct JpegJob {
    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    PixelSink* m_pSink = nullptr;

    jpeg_decompress_struct m_cinfo{};
    JpegErrors m_errors{};
    jpeg_progress_mgr m_progress{};
    bool m_bCreated = false;
    UprightCanvas m_canvas;
    std::vector<uint8_t> m_vCmyk;
    std::vector<JSAMPROW> m_vRows;
    DecodeStatus m_status = DecodeStatus::Corrupt;

    JpegJob(const uint8_t* data, size_t size, PixelSink& sink) : m_pData(data), m_nSize(size), m_pSink(&sink) {}
    JpegJob(const JpegJob&) = delete;
    JpegJob& operator=(const JpegJob&) = delete;
    ~JpegJob() {
        if (m_bCreated)
            jpeg_destroy_decompress(&m_cinfo);
    }

    void Run();
    void ReadRows();
};

void JpegJob::ReadRows() {
    jpeg_decompress_struct& cinfo = m_cinfo;
    const bool cmyk = cinfo.out_color_space == JCS_CMYK;
    const size_t width = cinfo.output_width;
    const int batch = cinfo.rec_outbuf_height > 0 ? cinfo.rec_outbuf_height : 1;
    m_vRows.resize(static_cast<size_t>(batch));
    if (cmyk)
        m_vCmyk.resize(width * 4 * static_cast<size_t>(batch));

    SampleLayout inverted;
    inverted.model = ColourModel::CmykInverted;
    inverted.samplesPerPixel = 4;

    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION first = cinfo.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(batch, cinfo.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i)
            m_vRows[i] =
                cmyk ? m_vCmyk.data() + i * width * 4 : m_canvas.Row(static_cast<int32_t>(first + i));
        const JDIMENSION got = jpeg_read_scanlines(&cinfo, m_vRows.data(), count);
        if (got == 0) {
            m_status = DecodeStatus::Corrupt; // the source never suspends, so no rows means no data
            return;
        }
        if (cmyk) {
            for (JDIMENSION i = 0; i < got; ++i) {
                const uint8_t* plane = m_vRows[i];
                ConvertSamples(inverted, &plane, width, m_canvas.Row(static_cast<int32_t>(first + i)));
            }
        }
    }
    m_status = DecodeStatus::Ok;
}

void JpegJob::Run() {
    if (setjmp(m_errors.jump)) {
        m_status = StatusOfError(m_errors.pub.msg_code);
        return;
    }
    m_cinfo.err = jpeg_std_error(&m_errors.pub);
    m_errors.pub.error_exit = OnJpegError;
    m_errors.pub.emit_message = OnJpegMessage;
    m_errors.pub.output_message = SilentOutput;
    m_bCreated = true;
    jpeg_create_decompress(&m_cinfo);
    m_cinfo.mem->max_memory_to_use = kJpegMemoryLimit;
    m_progress.progress_monitor = OnJpegProgress;
    m_cinfo.progress = &m_progress;

    jpeg_mem_src(&m_cinfo, m_pData, static_cast<unsigned long>(m_nSize));
    jpeg_save_markers(&m_cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&m_cinfo, TRUE);
    const int orientation = OrientationOf(m_cinfo);

    // Every 4-component JPEG is taken as Adobe's inverted CMYK (or YCCK,
    // which libjpeg turns into that), with or without the Adobe marker: that
    // is how the programs that write them store them.
    switch (m_cinfo.num_components) {
    case 1:
    case 3:
        m_cinfo.out_color_space = JCS_RGB;
        break;
    case 4:
        if (m_cinfo.jpeg_color_space != JCS_CMYK && m_cinfo.jpeg_color_space != JCS_YCCK) {
            m_status = DecodeStatus::Unsupported;
            return;
        }
        m_cinfo.out_color_space = JCS_CMYK;
        break;
    default:
        m_status = DecodeStatus::Unsupported;
        return;
    }
    m_cinfo.dct_method = JDCT_ISLOW;
    m_cinfo.do_fancy_upsampling = TRUE;
    jpeg_calc_output_dimensions(&m_cinfo);

    m_status = m_canvas.Open(*m_pSink, m_cinfo.output_width, m_cinfo.output_height, orientation);
    if (m_status != DecodeStatus::Ok)
        return;
    jpeg_start_decompress(&m_cinfo);
    ReadRows();
    if (m_status != DecodeStatus::Ok)
        return;
    // Reads on to the end of image, so a file cut after its last row fails too.
    jpeg_finish_decompress(&m_cinfo);
    m_canvas.Finish();
}

} // namespace

DecodeStatus DecodeJpeg(const uint8_t* data, size_t size, PixelSink& sink) {
    JpegJob job(data, size, sink);
    job.Run();
    return job.m_status;
}

} // namespace isource

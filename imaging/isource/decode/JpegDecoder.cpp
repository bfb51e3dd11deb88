// JPEG through libjpeg-turbo: baseline, progressive and arithmetic coding,
// greyscale, YCbCr, RGB, CMYK and YCCK; the EXIF orientation is applied.
// Large single-scan files are decoded by two decompressors on two threads,
// one from the top and one from a row further down (see RowSplit).
// libjpeg reports errors through a callback that must not return; it jumps
// back to the step that holds the setjmp, whose frame owns nothing that
// needs a destructor (everything lives in JpegJob).
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "imaging/isource/decode/Colour.h"
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

// From this many pixels on a second thread pays for itself many times over.
constexpr int64_t kJpegSplitPixels = 1000000;

struct JpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
}

// Warnings that mean the picture lost data (a file that ends early, whose
// missing rows libjpeg fills with grey; bad codes skipped; a restart marker
// out of place) end the decode: that is not the file's picture. The others
// concern what lies around the picture (stray bytes between segments, an
// unknown JFIF or Adobe version, odd scan parameters of a sequential file,
// a damaged set of ICC chunks) and a viewer shows such a file as usual.
bool HarmlessWarning(int code) {
    switch (code) {
    case JWRN_JFIF_MAJOR:
    case JWRN_BOGUS_ICC:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_ADOBE_XFORM:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false;
    }
}

void OnJpegMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return; // trace messages
    if (HarmlessWarning(cinfo->err->msg_code))
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

// Rows of one picture decoded by two jobs at once, each over its own
// decompressor: the top job decodes from the first row down, the bottom job
// skips the rows above a start of its choosing (entropy decoding alone, the
// cheaper part) and decodes from there to the end. The output is the same
// as one job's, row for row.
class RowSplit {
public:
    explicit RowSplit(int32_t nForcedStart) : m_nForcedStart(nForcedStart) {}

    // The top job, before decoding rows [y, y + n): how many it may decode;
    // 0 once it reached the bottom job's start or a job failed.
    int32_t ClaimTop(int32_t y, int32_t n) {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_bStop)
            return 0;
        if (m_nStart >= 0)
            n = std::min(n, m_nStart - y);
        if (n > 0)
            m_nTopEnd = y + n;
        return std::max(n, 0);
    }
    int32_t TopEnd() {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_nTopEnd;
    }
    // The bottom job fixes its start: `nStart`, moved down to the next
    // multiple of `nStep` past the rows the top job claimed meanwhile. A
    // start at or past `nHeight` leaves every row to the top job.
    int32_t FixStart(int32_t nStart, int32_t nStep, int32_t nHeight) {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_nForcedStart >= 0)
            nStart = m_nForcedStart;
        if (nStart < m_nTopEnd)
            nStart = (m_nTopEnd + nStep - 1) / nStep * nStep;
        m_nStart = std::min(nStart, nHeight);
        return m_nStart;
    }
    void Stop() {
        std::lock_guard<std::mutex> hold(m_lock);
        m_bStop = true;
    }
    bool Forced() const { return m_nForcedStart >= 0; }

private:
    std::mutex m_lock;
    int32_t m_nTopEnd = 0;
    int32_t m_nStart = -1;
    bool m_bStop = false;
    const int32_t m_nForcedStart;
};

// One decompressor over the file. Each step that calls libjpeg holds the
// setjmp its errors jump back to; their frames own nothing that needs a
// destructor (everything lives in the job).
struct JpegJob {
    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    PixelSink* m_pSink = nullptr;

    jpeg_decompress_struct m_cinfo{};
    JpegErrors m_errors{};
    jpeg_progress_mgr m_progress{};
    bool m_bCreated = false;
    std::vector<uint8_t> m_vCmyk;
    std::vector<JSAMPROW> m_vRows;
    std::vector<uint8_t> m_vIcc; // the embedded ICC profile, when the file has one
    const ColourConversion* m_pCmyk = nullptr;
    DecodeStatus m_status = DecodeStatus::Corrupt;

    JpegJob(const uint8_t* data, size_t size, PixelSink& sink)
        : m_pData(data), m_nSize(size), m_pSink(&sink) {}
    JpegJob(const JpegJob&) = delete;
    JpegJob& operator=(const JpegJob&) = delete;
    ~JpegJob() {
        if (m_bCreated)
            jpeg_destroy_decompress(&m_cinfo);
    }

    // Runs `step` with libjpeg's errors turned into m_status; false on error.
    template <typename Step> bool Guarded(Step step) {
        if (setjmp(m_errors.jump)) {
            m_status = StatusOfError(m_errors.pub.msg_code);
            return false;
        }
        step();
        return true;
    }

    // Reads the header and sets the output up; false with m_status set.
    bool Begin();
    bool Start() {
        return Guarded([this] { jpeg_start_decompress(&m_cinfo); });
    }
    // Decodes rows into the canvas from the current row until `split`
    // (when given) stops this top job, or to the end; m_status Ok then.
    void ReadRows(const UprightCanvas& canvas, RowSplit* split);
    // Reads on to the end of image, so a file cut after its last row fails too.
    bool Finish() {
        return Guarded([this] { jpeg_finish_decompress(&m_cinfo); });
    }
    // Output rows of one row of MCUs, at the scale decoded.
    int32_t RowsPerSkipStep() const { return m_cinfo.max_v_samp_factor * m_cinfo.min_DCT_scaled_size; }
    // The eighths of the full size to decode at: the fewest that still
    // cover the picture fitted into `fit` (8 without a fit). The box is
    // upright; the header's sides are as stored.
    unsigned ScaleFor(FitBox fit) const;
    bool Splittable() const;
};

bool JpegJob::Begin() {
    return Guarded([this] {
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
               jpeg_save_markers(&m_cinfo, JPEG_APP0 + 2, 0xFFFF);
               jpeg_read_header(&m_cinfo, TRUE);
               JOCTET* icc = nullptr;
               unsigned int iccBytes = 0;
               if (jpeg_read_icc_profile(&m_cinfo, &icc, &iccBytes)) {
                   if (iccBytes <= kMaxProfileBytes)
                       m_vIcc.assign(icc, icc + iccBytes);
                   std::free(icc);
               }

               // Every 4-component JPEG is taken as Adobe's inverted CMYK (or YCCK,
               // which libjpeg turns into that), with or without the Adobe marker:
               // that is how the programs that write them store them.
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
               m_cinfo.scale_num = ScaleFor(m_pSink->Fit());
               m_cinfo.scale_denom = DCTSIZE;
               jpeg_calc_output_dimensions(&m_cinfo);
               m_status = DecodeStatus::Ok;
           }) &&
           m_status == DecodeStatus::Ok;
}

unsigned JpegJob::ScaleFor(FitBox fit) const {
    if (!fit.Any())
        return DCTSIZE;
    if (OrientationSwapsSides(OrientationOf(m_cinfo)))
        std::swap(fit.width, fit.height);
    // Fitted, the picture takes min(fit.width / w, fit.height / h) of its
    // size; m / 8 covers that when it reaches either ratio.
    const uint64_t w = m_cinfo.image_width, h = m_cinfo.image_height;
    for (unsigned m = 1; m < DCTSIZE; ++m)
        if (uint64_t(fit.width) * DCTSIZE <= m * w || uint64_t(fit.height) * DCTSIZE <= m * h)
            return m;
    return DCTSIZE;
}

// One scan, Huffman-coded: the skip decodes the entropy data of the rows it
// passes and nothing more, and a second decompressor holds only a few rows.
// Progressive and multi-scan files keep the whole picture's coefficients and
// are decoded by one job.
bool JpegJob::Splittable() const {
    return !m_cinfo.progressive_mode && !m_cinfo.arith_code &&
           !jpeg_has_multiple_scans(const_cast<j_decompress_ptr>(&m_cinfo));
}

void JpegJob::ReadRows(const UprightCanvas& canvas, RowSplit* split) {
    if (!Guarded([&] {
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
            inverted.cmyk = m_pCmyk;

            m_status = DecodeStatus::Ok;
            while (cinfo.output_scanline < cinfo.output_height) {
                if (m_pSink->Cancelled()) {
                    m_status = DecodeStatus::Cancelled;
                    return;
                }
                const JDIMENSION first = cinfo.output_scanline;
                JDIMENSION count = std::min<JDIMENSION>(batch, cinfo.output_height - first);
                if (split && (count = JDIMENSION(split->ClaimTop(int32_t(first), int32_t(count)))) == 0)
                    return; // the bottom job has the rest (or stopped)
                for (JDIMENSION i = 0; i < count; ++i)
                    m_vRows[i] =
                        cmyk ? m_vCmyk.data() + i * width * 4 : canvas.Row(static_cast<int32_t>(first + i));
                const JDIMENSION got = jpeg_read_scanlines(&cinfo, m_vRows.data(), count);
                if (got == 0) {
                    m_status = DecodeStatus::Corrupt; // the source never suspends, so no rows means no data
                    return;
                }
                if (cmyk) {
                    for (JDIMENSION i = 0; i < got; ++i) {
                        const uint8_t* plane = m_vRows[i];
                        ConvertSamples(inverted, &plane, width, canvas.Row(static_cast<int32_t>(first + i)));
                    }
                }
            }
        }))
        return;
}

// The bottom job: skips a first stretch while the top job starts, measures
// both speeds, and starts where both should end together; the top job then
// stops there. Its status is Ok also when it leaves every row to the top
// job (m_nStart at the height).
struct BottomJob {
    JpegJob job;
    int32_t m_nStart = 0;
    BottomJob(const uint8_t* data, size_t size, PixelSink& sink, const ColourConversion* cmyk)
        : job(data, size, sink) {
        job.m_pCmyk = cmyk;
    }

    void Run(const UprightCanvas& canvas, RowSplit& split) {
        if (!job.Begin() || !job.Start()) {
            split.Stop();
            return;
        }
        const int32_t height = int32_t(job.m_cinfo.output_height);
        const int32_t step = job.RowsPerSkipStep();
        // A sixteenth of the picture tells the speeds apart well enough; the
        // rest is skipped in one call (short skips cost more where the
        // upsampling needs the rows around).
        const int32_t probe = split.Forced() ? 0 : std::max(step, height / 16 / step * step);
        const auto begin = std::chrono::steady_clock::now();
        if (probe > 0 && !job.Guarded([&] { jpeg_skip_scanlines(&job.m_cinfo, JDIMENSION(probe)); })) {
            split.Stop();
            return;
        }
        const double elapsed =
            std::max(1e-6, std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
        const double top = split.TopEnd();
        // Rows a second: skipping here, decoding in the top job. Both jobs
        // end together when the top job's rows up to the start take as long
        // as this job's skip to it and its decode of the rest.
        const double skipRate = probe / elapsed, decodeRate = std::max(top, 1.0) / elapsed;
        const double q = std::min(decodeRate / skipRate, 0.95);
        const double start = (top + height - probe * q) / (2.0 - q);
        m_nStart = split.FixStart(std::max(probe, int32_t(start) / step * step), step, height);
        if (m_nStart >= height) {
            job.m_status = DecodeStatus::Ok;
            return;
        }
        // In a few long strides, so a cancel is heard on the way. Each ends
        // on a row group's boundary: libjpeg-turbo 2.1 decodes wrong rows
        // after a skip that ended inside a group and another skip.
        const int32_t stride = std::max(step, height / 8 / step * step);
        for (int32_t row = probe; row < m_nStart; row += stride) {
            const JDIMENSION rows = JDIMENSION(std::min(stride, m_nStart - row));
            if (job.m_pSink->Cancelled()) {
                job.m_status = DecodeStatus::Cancelled;
                split.Stop();
                return;
            }
            if (!job.Guarded([&] { jpeg_skip_scanlines(&job.m_cinfo, rows); })) {
                split.Stop();
                return;
            }
        }
        job.ReadRows(canvas, nullptr);
        if (job.m_status != DecodeStatus::Ok || !job.Finish())
            split.Stop();
    }
};

DecodeStatus Decode(const uint8_t* data, size_t size, PixelSink& sink, int64_t splitPixels,
                    int32_t forcedStart) {
    JpegJob top(data, size, sink);
    if (!top.Begin())
        return top.m_status;
    // Colours as the file's profile describes them (CMYK always through one).
    std::unique_ptr<ColourConversion> colour;
    if (top.m_cinfo.out_color_space == JCS_CMYK) {
        colour = ColourConversion::ForCmyk(top.m_vIcc);
        top.m_pCmyk = colour.get();
    } else if (!top.m_vIcc.empty()) {
        ColourTag tag;
        tag.icc = std::move(top.m_vIcc);
        colour = ColourConversion::ForSamples(tag, top.m_cinfo.num_components == 1 ? SampleSpace::Grey
                                                                                   : SampleSpace::Rgb);
    }
    if (top.m_cinfo.scale_num != DCTSIZE) {
        const bool turns = OrientationSwapsSides(OrientationOf(top.m_cinfo));
        const int32_t w = int32_t(top.m_cinfo.image_width), h = int32_t(top.m_cinfo.image_height);
        sink.FullSize(turns ? h : w, turns ? w : h);
    }
    UprightCanvas canvas;
    DecodeStatus status =
        canvas.Open(sink, top.m_cinfo.output_width, top.m_cinfo.output_height, OrientationOf(top.m_cinfo));
    if (status != DecodeStatus::Ok)
        return status;
    if (!top.Start())
        return top.m_status;

    const int64_t pixels = int64_t(top.m_cinfo.output_width) * top.m_cinfo.output_height;
    std::unique_ptr<RowSplit> split;
    std::unique_ptr<BottomJob> bottom;
    std::thread helper;
    if (pixels >= splitPixels && top.Splittable() && std::thread::hardware_concurrency() >= 2) {
        split = std::make_unique<RowSplit>(forcedStart);
        bottom = std::make_unique<BottomJob>(data, size, sink, top.m_pCmyk);
        try {
            helper = std::thread([&] { bottom->Run(canvas, *split); });
        } catch (const std::system_error&) {
            split.reset(); // no thread to be had: one job does it all
        }
    }
    top.ReadRows(canvas, split.get());
    const bool topToEnd =
        top.m_status == DecodeStatus::Ok && top.m_cinfo.output_scanline >= top.m_cinfo.output_height;
    if (!split) {
        if (top.m_status != DecodeStatus::Ok || !top.Finish())
            return top.m_status;
    } else {
        if (top.m_status != DecodeStatus::Ok)
            split->Stop();
        helper.join();
        if (top.m_status != DecodeStatus::Ok)
            return top.m_status;
        if (bottom->job.m_status != DecodeStatus::Ok)
            return bottom->job.m_status;
        // Whoever decoded the last row read on to the end of image.
        if (topToEnd && !top.Finish())
            return top.m_status;
    }
    canvas.Finish(top.m_pCmyk ? nullptr : colour.get());
    return DecodeStatus::Ok;
}

} // namespace

DecodeStatus DecodeJpeg(const uint8_t* data, size_t size, PixelSink& sink) {
    return Decode(data, size, sink, kJpegSplitPixels, -1);
}

DecodeStatus DecodeJpegSplitAt(const uint8_t* data, size_t size, PixelSink& sink, int32_t startRow) {
    return Decode(data, size, sink, 0, startRow);
}

} // namespace isource

// Format recognition by magic bytes and the dispatch to the decoders.
#include "imaging/isource/decode/Decode.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "imaging/isource/decode/Decoders.h"
#ifdef SNAPWELL_HAVE_BMP_READER
#include "imaging/isource/bmp/BmpReader.h"
#endif
#ifdef SNAPWELL_HAVE_PSD_READER
#include "imaging/isource/psd/PsdReader.h"
#endif

namespace isource {
namespace {

bool StartsWith(const uint8_t* data, size_t size, const char* magic, size_t length) {
    return size >= length && std::memcmp(data, magic, length) == 0;
}

} // namespace

ImageFormat GuessFormat(const uint8_t* data, size_t size) {
    if (!data)
        return ImageFormat::Unknown;
    // Start of image and one more byte: libjpeg steps over stray bytes
    // before the first marker, and so do viewers.
    if (StartsWith(data, size, "\xFF\xD8", 2) && size >= 3)
        return ImageFormat::Jpeg;
    if (StartsWith(data, size, "\x89PNG\r\n\x1A\n", 8))
        return ImageFormat::Png;
    // Classic TIFF (42) and BigTIFF (43), either byte order.
    if (StartsWith(data, size, "II*\0", 4) || StartsWith(data, size, "MM\0*", 4) ||
        StartsWith(data, size, "II+\0", 4) || StartsWith(data, size, "MM\0+", 4))
        return ImageFormat::Tiff;
    if (StartsWith(data, size, "BM", 2))
        return ImageFormat::Bmp;
    if (StartsWith(data, size, "8BPS", 4))
        return ImageFormat::Psd;
    return ImageFormat::Unknown;
}

DecodeStatus DecodeImage(const uint8_t* data, size_t size, PixelSink& sink) {
    // The decoders allocate without throwing where they can; a sink (or a
    // container inside a decoder) that throws for want of memory still ends
    // as a status, never as an exception out of the library.
    try {
        switch (GuessFormat(data, size)) {
        case ImageFormat::Jpeg:
            return DecodeJpeg(data, size, sink);
        case ImageFormat::Png:
            return DecodePng(data, size, sink);
        case ImageFormat::Tiff:
            return DecodeTiff(data, size, sink);
        case ImageFormat::Bmp:
#ifdef SNAPWELL_HAVE_BMP_READER
            return DecodeBmp(data, size, sink);
#else
            return DecodeStatus::Unsupported;
#endif
        case ImageFormat::Psd:
#ifdef SNAPWELL_HAVE_PSD_READER
            return DecodePsd(data, size, sink);
#else
            return DecodeStatus::Unsupported;
#endif
        case ImageFormat::Unknown:
            break;
        }
        return DecodeStatus::UnknownFormat;
    } catch (const std::bad_alloc&) {
        return DecodeStatus::OutOfMemory;
    } catch (const std::length_error&) { // a container asked for more than it can ever hold
        return DecodeStatus::OutOfMemory;
    }
}

} // namespace isource

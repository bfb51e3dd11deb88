// TIFF through libtiff, read from memory: strips and tiles, every codec
// libtiff has, 1 to 16 bits per sample, grey, RGB, palette and CMYK, chunky
// or planar, with alpha; the first page only, the Orientation tag applied.
// Other photometric kinds libtiff can render (YCbCr without JPEG, CIE Lab,
// LogLuv) go through its RGBA reader instead.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <tiffio.h>

#include "imaging/isource/decode/Colour.h"
#include "imaging/isource/decode/Decoders.h"
#include "imaging/isource/decode/SampleRow.h"
#include "imaging/isource/decode/TiffStructure.h"
#include "imaging/isource/decode/UprightCanvas.h"

namespace isource {
namespace {

// libtiff's largest single allocation (tag arrays, codec state) and ours
// for one strip row or tile, so a file cannot make either of us ask for more
// than a picture's worth of memory in one piece.
constexpr tmsize_t kMaxTiffAllocation = 256 * 1024 * 1024;
constexpr int kMaxSamplesPerPixel = 16;

// One reader's position in the file; libtiff maps the whole buffer, so it
// reads through these only for the header and directories.
struct MemoryFile {
    const uint8_t* m_pData;
    uint64_t m_nSize;
    uint64_t m_nPos = 0;
};

tmsize_t ReadProc(thandle_t handle, void* to, tmsize_t length) {
    MemoryFile* f = static_cast<MemoryFile*>(handle);
    if (length <= 0 || f->m_nPos >= f->m_nSize)
        return 0;
    const uint64_t n = std::min<uint64_t>(static_cast<uint64_t>(length), f->m_nSize - f->m_nPos);
    std::memcpy(to, f->m_pData + f->m_nPos, static_cast<size_t>(n));
    f->m_nPos += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    MemoryFile* f = static_cast<MemoryFile*>(handle);
    uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = f->m_nPos;
    else if (whence == SEEK_END)
        base = f->m_nSize;
    if (offset > UINT64_MAX - base)
        return static_cast<toff_t>(-1);
    f->m_nPos = base + offset;
    return f->m_nPos;
}

int CloseProc(thandle_t) {
    return 0;
}

toff_t SizeProc(thandle_t handle) {
    return static_cast<MemoryFile*>(handle)->m_nSize;
}

int MapProc(thandle_t handle, void** base, toff_t* size) {
    MemoryFile* f = static_cast<MemoryFile*>(handle);
    *base = const_cast<uint8_t*>(f->m_pData); // libtiff only reads a read-only mapping
    *size = f->m_nSize;
    return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

struct OptionsFree {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};

// What libtiff said. Its warnings while the directory is read are about odd
// tags (private ones, unsorted entries) and harmless; once pixels are read
// a warning means damaged image data, like an error.
struct Diagnostics {
    bool m_bError = false;
    bool m_bReadingPixels = false;
};

int OnTiffError(TIFF*, void* user, const char*, const char*, va_list) {
    static_cast<Diagnostics*>(user)->m_bError = true;
    return 1; // handled: nothing goes to the global handlers (stderr)
}

int OnTiffWarning(TIFF*, void* user, const char*, const char*, va_list) {
    Diagnostics* d = static_cast<Diagnostics*>(user);
    if (d->m_bReadingPixels)
        d->m_bError = true;
    return 1;
}

// The first directory as our row conversion reads it.
struct TiffLayout {
    uint32_t width = 0, height = 0;
    int orientation = kUpright;
    bool tiled = false;
    bool useRgbaReader = false; // photometric kinds only libtiff's RGBA reader renders
    SampleLayout samples;
    std::vector<int> planes; // the sample planes to read, when planar
    std::vector<uint16_t> palette;
    // The conversion to sRGB: of CMYK samples as they are read (always), of
    // the finished picture for the other kinds (when the file's ICC profile
    // asks for one).
    std::unique_ptr<ColourConversion> colour;
};

class TiffJob {
public:
    TiffJob(const uint8_t* data, size_t size) : m_pData(data), m_nSize(size) {}
    DecodeStatus Run(PixelSink& sink);

private:
    TiffPtr Open();
    DecodeStatus Describe(TIFF* tif, TiffLayout& layout);
    DecodeStatus ReadStrips(TIFF* tif, const TiffLayout& layout);
    DecodeStatus ReadTiles(TIFF* tif, const TiffLayout& layout);
    DecodeStatus ReadThroughRgba(TIFF* tif, const TiffLayout& layout);
    bool Failed() const { return m_diagnostics.m_bError; }
    bool Cancelled() const { return m_pSink->Cancelled(); }

    const uint8_t* m_pData;
    size_t m_nSize;
    PixelSink* m_pSink = nullptr;
    Diagnostics m_diagnostics;
    std::vector<std::unique_ptr<MemoryFile>> m_vFiles;
    UprightCanvas m_canvas;
};

TiffPtr TiffJob::Open() {
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxTiffAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnTiffError, &m_diagnostics);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnTiffWarning, &m_diagnostics);
    m_vFiles.push_back(std::make_unique<MemoryFile>(MemoryFile{m_pData, m_nSize}));
    TIFF* tif = TIFFClientOpenExt("memory", "r", m_vFiles.back().get(), ReadProc, WriteProc, SeekProc,
                                  CloseProc, SizeProc, MapProc, UnmapProc, options.get());
    return TiffPtr(tif);
}

DecodeStatus TiffJob::Describe(TIFF* tif, TiffLayout& layout) {
    uint16_t bits = 1, spp = 1, planar = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT, photometric = 0;
    uint16_t orientation = ORIENTATION_TOPLEFT, compression = COMPRESSION_NONE, inkset = INKSET_CMYK;
    uint16_t extraCount = 0;
    uint16_t* extraTypes = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &layout.width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &layout.height))
        return DecodeStatus::Corrupt;
    if (layout.width == 0 || layout.height == 0)
        return DecodeStatus::Corrupt;
    if (!PictureSizeAcceptable(layout.width, layout.height))
        return DecodeStatus::TooLarge;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inkset);
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric))
        return DecodeStatus::Corrupt;
    layout.orientation = IsValidOrientation(orientation) ? orientation : kUpright;
    layout.tiled = TIFFIsTiled(tif) != 0;

    SampleLayout& s = layout.samples;
    switch (photometric) {
    case PHOTOMETRIC_MINISBLACK:
        s.model = ColourModel::Grey;
        break;
    case PHOTOMETRIC_MINISWHITE:
        s.model = ColourModel::GreyMinIsWhite;
        break;
    case PHOTOMETRIC_RGB:
        s.model = ColourModel::Rgb;
        break;
    case PHOTOMETRIC_PALETTE:
        s.model = ColourModel::Palette;
        break;
    case PHOTOMETRIC_SEPARATED:
        if (inkset != INKSET_CMYK)
            layout.useRgbaReader = true;
        s.model = ColourModel::Cmyk;
        break;
    case PHOTOMETRIC_YCBCR:
        // libjpeg converts JPEG-compressed YCbCr itself when asked for RGB.
        if (compression == COMPRESSION_JPEG && planar == PLANARCONFIG_CONTIG && bits == 8) {
            if (!TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB))
                return DecodeStatus::Corrupt;
            s.model = ColourModel::Rgb;
        } else {
            layout.useRgbaReader = true;
        }
        break;
    default:
        layout.useRgbaReader = true;
        break;
    }
    // The profile (tag 34675) describes the samples: CMYK ones always go
    // through one, RGB and grey ones when it is not sRGB. Other kinds (CIE
    // Lab, LogLuv, inks other than CMYK) have colours of their own.
    ColourTag tag;
    uint32_t iccBytes = 0;
    void* icc = nullptr;
    if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &iccBytes, &icc) && icc && iccBytes <= kMaxProfileBytes)
        tag.icc.assign(static_cast<const uint8_t*>(icc), static_cast<const uint8_t*>(icc) + iccBytes);
    if (s.model == ColourModel::Cmyk && !layout.useRgbaReader) {
        layout.colour = ColourConversion::ForCmyk(tag.icc);
        s.cmyk = layout.colour.get();
    } else if (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) {
        layout.colour = ColourConversion::ForSamples(tag, SampleSpace::Grey);
    } else if (photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_PALETTE ||
               photometric == PHOTOMETRIC_YCBCR) {
        layout.colour = ColourConversion::ForSamples(tag, SampleSpace::Rgb);
    }

    if (layout.useRgbaReader) {
        char message[1024];
        return TIFFRGBAImageOK(tif, message) ? DecodeStatus::Ok : DecodeStatus::Unsupported;
    }

    if (bits < 1 || bits > 16 || spp < 1 || spp > kMaxSamplesPerPixel)
        return DecodeStatus::Unsupported;
    if (format != SAMPLEFORMAT_UINT && format != SAMPLEFORMAT_VOID)
        return DecodeStatus::Unsupported;
    const int colour = ColourSamples(s.model);
    if (spp < colour)
        return DecodeStatus::Corrupt;
    s.bitsPerSample = bits;
    s.planar = planar == PLANARCONFIG_SEPARATE && spp > 1;
    s.samplesPerPixel = s.planar ? 1 : spp;
    for (int i = 0; i < extraCount && colour + i < spp; ++i) {
        if (extraTypes[i] == EXTRASAMPLE_UNASSALPHA || extraTypes[i] == EXTRASAMPLE_ASSOCALPHA) {
            s.alpha =
                extraTypes[i] == EXTRASAMPLE_UNASSALPHA ? AlphaKind::Straight : AlphaKind::Premultiplied;
            s.alphaSample = colour + i;
            break;
        }
    }
    if (s.planar) {
        for (int i = 0; i < colour; ++i)
            layout.planes.push_back(i);
        if (s.alpha != AlphaKind::None)
            layout.planes.push_back(s.alphaSample);
    }

    if (s.model == ColourModel::Palette) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue))
            return DecodeStatus::Corrupt;
        const size_t entries = size_t(1) << bits;
        // Some writers store 8-bit values in the 16-bit colour map; a map
        // with no value above 255 is one of those.
        bool eightBit = true;
        for (size_t i = 0; i < entries; ++i)
            eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
        layout.palette.resize(entries * 3);
        for (size_t i = 0; i < entries; ++i) {
            layout.palette[i * 3] = red[i];
            layout.palette[i * 3 + 1] = green[i];
            layout.palette[i * 3 + 2] = blue[i];
        }
        s.palette = layout.palette.data();
        s.paletteEntries = entries;
        s.paletteMax = eightBit ? 255 : 65535;
    }
    return DecodeStatus::Ok;
}

// Strips are read row by row. A planar file has one reader per plane, each
// going through its own plane's strips in order, so no codec ever has to
// restart a strip to get back to a row.
DecodeStatus TiffJob::ReadStrips(TIFF* tif, const TiffLayout& layout) {
    std::vector<TiffPtr> extra;
    std::vector<TIFF*> readers{tif};
    const std::vector<int> samples = layout.samples.planar ? layout.planes : std::vector<int>{0};
    m_diagnostics.m_bReadingPixels = false; // the extra readers read the directory again
    while (readers.size() < samples.size()) {
        extra.push_back(Open());
        if (!extra.back())
            return DecodeStatus::Corrupt;
        readers.push_back(extra.back().get());
    }
    m_diagnostics.m_bReadingPixels = true;
    const tmsize_t rowBytes = TIFFScanlineSize(tif);
    if (rowBytes <= 0)
        return DecodeStatus::Corrupt;
    if (rowBytes > kMaxTiffAllocation)
        return DecodeStatus::TooLarge;

    std::vector<std::vector<uint8_t>> rows(samples.size());
    std::vector<const uint8_t*> planes(kMaxSamplesPerPixel, nullptr);
    for (size_t i = 0; i < samples.size(); ++i) {
        rows[i].resize(static_cast<size_t>(rowBytes));
        planes[samples[i]] = rows[i].data();
    }
    for (uint32_t y = 0; y < layout.height; ++y) {
        if (Cancelled())
            return DecodeStatus::Cancelled;
        for (size_t i = 0; i < samples.size(); ++i) {
            if (TIFFReadScanline(readers[i], rows[i].data(), y, static_cast<uint16_t>(samples[i])) < 0 ||
                Failed())
                return DecodeStatus::Corrupt;
        }
        ConvertSamples(layout.samples, planes.data(), layout.width, m_canvas.Row(static_cast<int32_t>(y)));
    }
    return DecodeStatus::Ok;
}

// Tiles are read one at a time (one per plane when planar) and their rows
// converted straight into place.
DecodeStatus TiffJob::ReadTiles(TIFF* tif, const TiffLayout& layout) {
    uint32_t tileWidth = 0, tileHeight = 0;
    if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth) ||
        !TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight) || tileWidth == 0 || tileHeight == 0)
        return DecodeStatus::Corrupt;
    const tmsize_t tileBytes = TIFFTileSize(tif);
    const tmsize_t tileRowBytes = TIFFTileRowSize(tif);
    if (tileBytes <= 0 || tileRowBytes <= 0)
        return DecodeStatus::Corrupt;
    if (tileBytes > kMaxTiffAllocation)
        return DecodeStatus::TooLarge;

    const std::vector<int> samples = layout.samples.planar ? layout.planes : std::vector<int>{0};
    std::vector<std::vector<uint8_t>> tiles(samples.size());
    for (auto& t : tiles)
        t.resize(static_cast<size_t>(tileBytes));
    std::vector<const uint8_t*> planes(kMaxSamplesPerPixel, nullptr);

    for (uint32_t y = 0; y < layout.height; y += tileHeight) {
        if (Cancelled())
            return DecodeStatus::Cancelled;
        const uint32_t rows = std::min(tileHeight, layout.height - y);
        for (uint32_t x = 0; x < layout.width; x += tileWidth) {
            const uint32_t cols = std::min(tileWidth, layout.width - x);
            for (size_t i = 0; i < samples.size(); ++i) {
                const uint32_t tile = TIFFComputeTile(tif, x, y, 0, static_cast<uint16_t>(samples[i]));
                if (TIFFReadEncodedTile(tif, tile, tiles[i].data(), tileBytes) < 0 || Failed())
                    return DecodeStatus::Corrupt;
            }
            for (uint32_t r = 0; r < rows; ++r) {
                for (size_t i = 0; i < samples.size(); ++i)
                    planes[samples[i]] =
                        tiles[i].data() + static_cast<size_t>(r) * static_cast<size_t>(tileRowBytes);
                ConvertSamples(layout.samples, planes.data(), cols,
                               m_canvas.Row(static_cast<int32_t>(y + r)) + static_cast<size_t>(x) * 3);
            }
        }
    }
    return DecodeStatus::Ok;
}

// libtiff renders the picture into 32-bit pixels (alpha multiplied in);
// those are composited on white row by row.
DecodeStatus TiffJob::ReadThroughRgba(TIFF* tif, const TiffLayout& layout) {
    char message[1024];
    TIFFRGBAImage image;
    if (!TIFFRGBAImageBegin(&image, tif, 1, message))
        return DecodeStatus::Unsupported;
    // Rows as stored, top first: the orientation is applied by the canvas.
    image.req_orientation = ORIENTATION_TOPLEFT;
    image.orientation = ORIENTATION_TOPLEFT;
    const size_t pixels = static_cast<size_t>(layout.width) * layout.height;
    std::unique_ptr<uint32_t[]> raster(new (std::nothrow) uint32_t[pixels]);
    if (!raster) {
        TIFFRGBAImageEnd(&image);
        return DecodeStatus::OutOfMemory;
    }
    const int ok = TIFFRGBAImageGet(&image, raster.get(), layout.width, layout.height);
    TIFFRGBAImageEnd(&image);
    if (!ok || Failed())
        return DecodeStatus::Corrupt;

    SampleLayout abgr;
    abgr.model = ColourModel::Rgb;
    abgr.samplesPerPixel = 4;
    abgr.alpha = AlphaKind::Premultiplied;
    abgr.alphaSample = 3;
    std::vector<uint8_t> row(static_cast<size_t>(layout.width) * 4);
    for (uint32_t y = 0; y < layout.height; ++y) {
        const uint32_t* in = raster.get() + static_cast<size_t>(y) * layout.width;
        for (uint32_t x = 0; x < layout.width; ++x) {
            row[x * 4] = static_cast<uint8_t>(TIFFGetR(in[x]));
            row[x * 4 + 1] = static_cast<uint8_t>(TIFFGetG(in[x]));
            row[x * 4 + 2] = static_cast<uint8_t>(TIFFGetB(in[x]));
            row[x * 4 + 3] = static_cast<uint8_t>(TIFFGetA(in[x]));
        }
        const uint8_t* plane = row.data();
        ConvertSamples(abgr, &plane, layout.width, m_canvas.Row(static_cast<int32_t>(y)));
    }
    return DecodeStatus::Ok;
}

DecodeStatus TiffJob::Run(PixelSink& sink) {
    m_pSink = &sink;
    // A size too large for us is refused before libtiff reads the directory:
    // in a 32-bit build libtiff cannot even open one whose strips overflow.
    const TiffOutline outline = OutlineTiff(m_pData, m_nSize);
    if (outline.width && outline.height && !PictureSizeAcceptable(outline.width, outline.height))
        return DecodeStatus::TooLarge;
    if (!outline.whole)
        return DecodeStatus::Corrupt;
    TiffPtr tif = Open();
    if (!tif)
        return DecodeStatus::Corrupt;
    TiffLayout layout;
    DecodeStatus status = Describe(tif.get(), layout);
    if (status != DecodeStatus::Ok)
        return status;
    if (Failed())
        return DecodeStatus::Corrupt;
    status = m_canvas.Open(sink, layout.width, layout.height, layout.orientation);
    if (status != DecodeStatus::Ok)
        return status;

    m_diagnostics.m_bReadingPixels = true;
    if (layout.useRgbaReader)
        status = ReadThroughRgba(tif.get(), layout);
    else if (layout.tiled)
        status = ReadTiles(tif.get(), layout);
    else
        status = ReadStrips(tif.get(), layout);
    if (status != DecodeStatus::Ok)
        return status;
    if (Failed())
        return DecodeStatus::Corrupt;
    m_canvas.Finish(layout.samples.cmyk ? nullptr : layout.colour.get());
    return DecodeStatus::Ok;
}

} // namespace

DecodeStatus DecodeTiff(const uint8_t* data, size_t size, PixelSink& sink) {
    return TiffJob(data, size).Run(sink);
}

} // namespace isource

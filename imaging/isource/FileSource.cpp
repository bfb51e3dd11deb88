#include "imaging/isource/FileSource.h"

#include "imaging/isource/LastError.h"
#include "imaging/isource/WidePath.h"
#include "imaging/isource/decode/Decode.h"
#include "imaging/isource/pixels/Bands.h"

#include <memory>
#include <new>

namespace isource {
namespace {

// Files beyond this cannot hold a picture we would accept and would only
// exhaust the address space.
constexpr uint64_t kMaxFileBytes = 1ull << 30;

// Gives the decoder a movable global block as its picture buffer, locked
// while the decoder fills it: the block to reuse when it is large enough and
// not wastefully large, else a fresh one.
class GlobalMemorySink : public PixelSink {
public:
    explicit GlobalMemorySink(const ReadLimits& limits)
        : m_nMaxBytes(limits.maxBytes), m_pCancel(limits.cancel), m_hReuse(limits.reuse),
          m_Fit{limits.fitWidth, limits.fitHeight} {}
    ~GlobalMemorySink() override {
        if (m_hMemory != nullptr) {
            Unlock();
            GlobalFree(m_hMemory);
        }
        if (m_hReuse != nullptr)
            GlobalFree(m_hReuse);
    }
    GlobalMemorySink(const GlobalMemorySink&) = delete;
    GlobalMemorySink& operator=(const GlobalMemorySink&) = delete;

    uint8_t* Allocate(int32_t width, int32_t height) override {
        m_nWidth = width;
        m_nHeight = height;
        if (!m_bFullTold) {
            m_nFullWidth = width;
            m_nFullHeight = height;
        }
        if (m_hMemory != nullptr || !PictureSizeAcceptable(width, height))
            return nullptr;
        const SIZE_T bytes = SIZE_T(width) * SIZE_T(height) * 3u;
        if (m_nMaxBytes != 0 && bytes > m_nMaxBytes) {
            m_bOverLimit = true;
            return nullptr;
        }
        if (m_hReuse != nullptr) {
            const SIZE_T size = GlobalSize(m_hReuse);
            if (size >= bytes && size / 2 <= bytes) {
                m_hMemory = m_hReuse;
                m_hReuse = nullptr;
                m_pLocked = static_cast<uint8_t*>(GlobalLock(m_hMemory));
                return m_pLocked; // its pages are mapped already
            }
            GlobalFree(m_hReuse);
            m_hReuse = nullptr;
        }
        m_hMemory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (m_hMemory == nullptr)
            return nullptr;
        m_pLocked = static_cast<uint8_t*>(GlobalLock(m_hMemory));
        PrepareBuffer(m_pLocked, bytes);
        return m_pLocked;
    }
    bool Cancelled() const override { return m_pCancel != nullptr && *m_pCancel != 0; }
    FitBox Fit() const override { return m_Fit; }
    void FullSize(int32_t width, int32_t height) override {
        m_nFullWidth = width;
        m_nFullHeight = height;
        m_bFullTold = true;
    }
    int32_t FullWidth() const { return m_nFullWidth; }
    int32_t FullHeight() const { return m_nFullHeight; }

    bool HasPicture() const { return m_hMemory != nullptr; }
    bool OverLimit() const { return m_bOverLimit; }
    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }

    // Hands the block over, unlocked.
    HGLOBAL Release() {
        Unlock();
        HGLOBAL h = m_hMemory;
        m_hMemory = nullptr;
        return h;
    }

private:
    void Unlock() {
        if (m_pLocked != nullptr)
            GlobalUnlock(m_hMemory);
        m_pLocked = nullptr;
    }
    const uint64_t m_nMaxBytes;
    const volatile int32_t* const m_pCancel;
    HGLOBAL m_hReuse;
    HGLOBAL m_hMemory = nullptr;
    uint8_t* m_pLocked = nullptr;
    const FitBox m_Fit;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nFullWidth = 0;
    int32_t m_nFullHeight = 0;
    bool m_bFullTold = false;
    bool m_bOverLimit = false;
};

IS3Error ErrorOf(DecodeStatus status) {
    switch (status) {
    case DecodeStatus::Ok:
        return kIS3Ok;
    case DecodeStatus::UnknownFormat:
        return kIS3UnknownFormat;
    case DecodeStatus::Corrupt:
        return kIS3Corrupt;
    case DecodeStatus::Unsupported:
        return kIS3Unsupported;
    case DecodeStatus::TooLarge:
        return kIS3TooLarge;
    case DecodeStatus::OutOfMemory:
        return kIS3OutOfMemory;
    case DecodeStatus::Cancelled:
        return kIS3Cancelled;
    }
    return kIS3Corrupt;
}

uint32_t FileTypeOf(ImageFormat format) {
    switch (format) {
    case ImageFormat::Jpeg:
        return kIS3FileJpeg;
    case ImageFormat::Png:
        return kIS3FilePng;
    case ImageFormat::Tiff:
        return kIS3FileTiff;
    case ImageFormat::Bmp:
        return kIS3FileBmp;
    case ImageFormat::Psd:
        return kIS3FilePsd;
    case ImageFormat::Unknown:
        break;
    }
    return kIS3FileUnknown;
}

bool ReadAll(HANDLE file, uint8_t* data, uint32_t size) {
    while (size > 0) {
        DWORD got = 0;
        if (!ReadFile(file, data, size, &got, nullptr) || got == 0)
            return false;
        data += got;
        size -= got;
    }
    return true;
}

// Bytes from the current position to the end of the file.
bool Remaining(HANDLE file, uint64_t& bytes) {
    LARGE_INTEGER size, here, zero{};
    if (!GetFileSizeEx(file, &size) || !SetFilePointerEx(file, zero, &here, FILE_CURRENT))
        return false;
    bytes = here.QuadPart < size.QuadPart ? uint64_t(size.QuadPart - here.QuadPart) : 0;
    return true;
}

} // namespace

FileSource* FileSource::Open(const char* path) {
    if (path == nullptr || *path == '\0')
        return nullptr;
    HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    FileSource* source = new (std::nothrow) FileSource(file);
    if (source == nullptr)
        CloseHandle(file);
    return source;
}

FileSource::~FileSource() {
    CloseHandle(m_hFile);
}

uint32_t FileSource::GuessFileType() {
    LARGE_INTEGER zero{}, here;
    if (!SetFilePointerEx(m_hFile, zero, &here, FILE_CURRENT))
        return kIS3FileUnknown;
    uint8_t head[64];
    DWORD got = 0;
    const bool read = SetFilePointerEx(m_hFile, zero, nullptr, FILE_BEGIN) &&
                      ReadFile(m_hFile, head, sizeof head, &got, nullptr);
    SetFilePointerEx(m_hFile, here, nullptr, FILE_BEGIN);
    return read ? FileTypeOf(GuessFormat(head, got)) : kIS3FileUnknown;
}

bool FileSource::Seek(int32_t offset, uint32_t origin) {
    if (origin > FILE_END)
        return false;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    return SetFilePointerEx(m_hFile, distance, nullptr, origin) != 0;
}

HGLOBAL FileSource::ReadToRgb(uint32_t& width, uint32_t& height, const ReadLimits& limits,
                              uint32_t* fullWidth, uint32_t* fullHeight) {
    // The sink owns the block to reuse from here on, whatever happens.
    GlobalMemorySink sink(limits);
    const auto tellFull = [&] {
        if (fullWidth != nullptr)
            *fullWidth = uint32_t(sink.FullWidth());
        if (fullHeight != nullptr)
            *fullHeight = uint32_t(sink.FullHeight());
    };
    m_info = PhotoInfo();
    uint64_t size = 0;
    if (!Remaining(m_hFile, size)) {
        SetLastError(kIS3CannotRead);
        return nullptr;
    }
    if (size > kMaxFileBytes) {
        SetLastError(kIS3TooLarge);
        return nullptr;
    }
    // The file's bytes are released before the caller copies the picture,
    // so at most the file and one picture are held here.
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size_t(size) + 1]);
    if (!bytes) {
        SetLastError(kIS3OutOfMemory);
        return nullptr;
    }
    if (!ReadAll(m_hFile, bytes.get(), uint32_t(size))) {
        SetLastError(kIS3CannotRead);
        return nullptr;
    }
    const DecodeStatus status =
        sink.Cancelled() ? DecodeStatus::Cancelled : DecodeImage(bytes.get(), size_t(size), sink);
    if (status != DecodeStatus::Ok || !sink.HasPicture()) {
        if (sink.OverLimit()) {
            width = uint32_t(sink.Width());
            height = uint32_t(sink.Height());
            tellFull();
            SetLastError(kIS3OverLimit);
        } else {
            SetLastError(status == DecodeStatus::Ok ? kIS3Corrupt : ErrorOf(status));
        }
        return nullptr;
    }
    m_info = ReadPhotoInfo(bytes.get(), size_t(size));
    bytes.reset();
    width = uint32_t(sink.Width());
    height = uint32_t(sink.Height());
    tellFull();
    return sink.Release();
}

} // namespace isource

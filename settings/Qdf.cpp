#include "settings/Qdf.h"

#include "support/SystemError.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>

namespace {
constexpr size_t kMaxFileName = 255;
constexpr size_t kMaxHashedBytes = 256;
constexpr DWORD kAccessBits = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kShareBits = FILE_SHARE_READ | FILE_SHARE_WRITE;

bool Seek(HANDLE file, int64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = offset;
    return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != 0;
}

// Bytes read at the offset (fewer at the end of the file or on failure).
DWORD ReadAt(HANDLE file, int64_t offset, void* buffer, DWORD length) {
    DWORD done = 0;
    if (!Seek(file, offset) || !ReadFile(file, buffer, length, &done, nullptr))
        return 0;
    return done;
}

bool WriteAt(HANDLE file, int64_t offset, const void* bytes, DWORD length) {
    DWORD done = 0;
    if (!Seek(file, offset))
        return false;
    if (length == 0)
        return true;
    return WriteFile(file, bytes, length, &done, nullptr) && done == length;
}

int64_t FileSize(HANDLE file) {
    LARGE_INTEGER size;
    return GetFileSizeEx(file, &size) ? size.QuadPart : -1;
}

// The file's beginning as far as the checks need it: the header and, when the
// header can be true for a file of this size, the table it describes. Fewer
// bytes when the file ends, or a read fails, before them.
std::vector<uint8_t> ReadStart(HANDLE file, int64_t size, int keyType) {
    if (size < int64_t(qdf::kHeaderSize))
        return {};
    std::vector<uint8_t> start(qdf::kHeaderSize);
    start.resize(ReadAt(file, 0, start.data(), DWORD(start.size())));
    if (start.size() < qdf::kHeaderSize)
        return start;
    const t_QdfHeader header = t_QdfHeader::FromImage(start.data());
    if (CQdfIndex::CheckHeader(header, size, keyType) != QdfCheck::ok)
        return start;
    const size_t table = CQdfIndex::TableBytes(header);
    start.resize(qdf::kHeaderSize + table);
    start.resize(qdf::kHeaderSize + ReadAt(file, qdf::kHeaderSize, start.data() + qdf::kHeaderSize, DWORD(table)));
    return start;
}

std::string SystemText(DWORD error) {
    char text[256];
    return GetSystemErrorText(int32_t(error), text, sizeof(text));
}

// The folder part of a path, "." when it has none.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    return path.substr(0, slash == 0 || path[slash - 1] == ':' ? slash + 1 : slash);
}

// Deletes a temporary file when the scope ends, whatever happened.
class TempFile {
public:
    explicit TempFile(std::string path) : m_sPath(std::move(path)) {}
    ~TempFile() { DeleteFileA(m_sPath.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const char* Path() const { return m_sPath.c_str(); }

private:
    std::string m_sPath;
};
} // namespace

int QdfCompareText(const char* a, const char* b) {
    return lstrcmpiA(a, b);
}

CQdf::CQdf() : m_index(QdfCompareText) {}

CQdf::~CQdf() {
    try {
        Close();
    } catch (...) {
        // A destructor cannot report; the configuration manager closes first
        // and shows what went wrong.
    }
}

void CQdf::RaiseSystem(DWORD error) const {
    if (error == ERROR_SUCCESS)
        throw CQdfException(CQdfException::qeUnknown, m_sFileName.c_str());
    throw CQdfException(int32_t(error), SystemText(error).c_str(), m_sFileName.c_str());
}

bool CQdf::Open(const char* fileName, int keyType, DWORD creation, DWORD accessAndShare) {
    Close();
    if (fileName == nullptr || fileName[0] == '\0')
        return false;
    if (std::strlen(fileName) > kMaxFileName) {
        // A cut-off name would open another file.
        m_sFileName.assign(fileName, kMaxFileName);
        RaiseSystem(ERROR_FILENAME_EXCED_RANGE);
    }
    m_sFileName = fileName;
    if (qdf::KeySize(keyType) == 0)
        throw CQdfException(CQdfException::qeKeyType, m_sFileName.c_str());

    HANDLE handle = CreateFileA(fileName, accessAndShare & kAccessBits, accessAndShare & kShareBits, nullptr,
                                creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    if (handle == INVALID_HANDLE_VALUE) {
        char root[4] = {fileName[0], ':', '\\', '\0'};
        const UINT drive = GetDriveTypeA(fileName[0] != '\0' && fileName[1] == ':' ? root : nullptr);
        if (drive == DRIVE_REMOVABLE)
            throw CQdfException(CQdfException::qeNotReady, m_sFileName.c_str());
        if (drive == DRIVE_CDROM)
            throw CQdfException(CQdfException::qeDriveType, m_sFileName.c_str());
        RaiseSystem(error);
    }
    m_file.Reset(handle);

    try {
        // An empty file is new whatever the disposition said: give it a fresh
        // header and index. Anything else must be a sound record file.
        const int64_t size = FileSize(handle);
        if (size < 0)
            RaiseSystem(GetLastError());
        if (size == 0) {
            m_index.Create(keyType);
            WriteHeaderAndIndex();
            return true;
        }
        const std::vector<uint8_t> start = ReadStart(handle, size, keyType);
        const QdfCheck check = m_index.LoadStart(start.data(), start.size(), size, keyType);
        if (check == QdfCheck::keyTypeMismatch)
            throw CQdfException(CQdfException::qeKeyType, m_sFileName.c_str());
        if (check != QdfCheck::ok)
            throw CQdfException(CQdfException::qeDamaged, m_sFileName.c_str());
    } catch (...) {
        m_file.Reset();
        m_index.Reset();
        throw;
    }
    return true;
}

void CQdf::WriteHeaderAndIndex() {
    const t_QdfHeader::Image header = m_index.Header().ToImage();
    std::vector<uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), m_index.Table().begin(), m_index.Table().end());
    if (!WriteAt(m_file.Get(), 0, bytes.data(), DWORD(bytes.size())))
        RaiseSystem(GetLastError());
}

void CQdf::Close() {
    if (!IsOpen())
        return;
    try {
        if (m_index.Grown())
            Rebuild();
        else
            WriteHeaderAndIndex();
        if (!FlushFileBuffers(m_file.Get()))
            RaiseSystem(GetLastError());
    } catch (...) {
        m_file.Reset();
        m_index.Reset();
        throw;
    }
    m_file.Reset();
    m_index.Reset();
}

void CQdf::Rebuild() {
    // The grown table overlaps the old data area: lay the file out anew, each
    // record behind the table in index order. The records are read back from
    // a copy of the file beside it; when no copy can be made there, from
    // memory, so the grown index is never written over records.
    const int32_t count = m_index.Header().nCount;
    std::function<std::vector<uint8_t>(int32_t)> readRecord;
    std::vector<std::vector<uint8_t>> inMemory;
    std::unique_ptr<TempFile> temp; // declared first: deleted after the copy's handle is closed
    ui::UniqueHandle copy;

    char tempName[MAX_PATH] = {};
    if (GetTempFileNameA(FolderOf(m_sFileName).c_str(), "QDF", 0, tempName) != 0) {
        temp = std::make_unique<TempFile>(tempName);
        FlushFileBuffers(m_file.Get());
        m_file.Reset();
        const bool copied = CopyFileA(m_sFileName.c_str(), temp->Path(), FALSE) != 0;
        const DWORD copyError = GetLastError();
        m_file.Reset(CreateFileA(m_sFileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!m_file.Valid())
            RaiseSystem(GetLastError());
        if (!copied)
            RaiseSystem(copyError);
        copy.Reset(CreateFileA(temp->Path(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
        if (!copy.Valid())
            RaiseSystem(GetLastError());
        readRecord = [&](int32_t i) {
            std::vector<uint8_t> bytes(size_t(m_index.Length(i)));
            if (ReadAt(copy.Get(), m_index.Offset(i), bytes.data(), DWORD(bytes.size())) != bytes.size())
                RaiseSystem(GetLastError());
            return bytes;
        };
    } else {
        for (int32_t i = 0; i < count; ++i) {
            std::vector<uint8_t> bytes(size_t(m_index.Length(i)));
            if (ReadAt(m_file.Get(), m_index.Offset(i), bytes.data(), DWORD(bytes.size())) != bytes.size())
                RaiseSystem(GetLastError());
            inMemory.push_back(std::move(bytes));
        }
        readRecord = [&](int32_t i) { return std::move(inMemory[size_t(i)]); };
    }

    if (!Seek(m_file.Get(), 0) || !SetEndOfFile(m_file.Get()))
        RaiseSystem(GetLastError());
    WriteHeaderAndIndex();
    int64_t end = m_index.DataStart();
    for (int32_t i = 0; i < count; ++i) {
        const std::vector<uint8_t> bytes = readRecord(i);
        if (!WriteAt(m_file.Get(), end, bytes.data(), DWORD(bytes.size())))
            RaiseSystem(GetLastError());
        m_index.SetRecord(i, int32_t(end), int32_t(bytes.size()));
        end += int64_t(bytes.size());
    }
    copy.Reset();
    temp.reset();
    if (!WriteAt(m_file.Get(), qdf::kHeaderSize, m_index.Table().data(), DWORD(m_index.Table().size())))
        RaiseSystem(GetLastError());
    m_index.ClearGrown();
}

bool CQdf::WriteRecord(uint32_t key, const void* bytes, int32_t length) {
    if (!IsOpen())
        return false;
    std::vector<uint8_t> built;
    if (!m_index.MakeKey(key, built))
        throw CQdfException(CQdfException::qeKeyType, m_sFileName.c_str());
    return WriteKeyed(built, bytes, length);
}

bool CQdf::WriteRecord(const char* key, const void* bytes, int32_t length) {
    if (!IsOpen())
        return false;
    std::vector<uint8_t> built;
    if (!m_index.MakeKey(key, built))
        throw CQdfException(CQdfException::qeKeyType, m_sFileName.c_str());
    return WriteKeyed(built, bytes, length);
}

bool CQdf::WriteKeyed(const std::vector<uint8_t>& key, const void* bytes, int32_t length) {
    if (length < 0 || (bytes == nullptr && length > 0))
        throw CQdfException(CQdfException::qeUnknown, m_sFileName.c_str());
    int32_t position;
    try {
        position = m_index.Insert(key.data());
    } catch (const CQdfException& e) {
        throw CQdfException(e.m_nCode, m_sFileName.c_str());
    }
    // A record that grew goes to the end of the file; one that did not is
    // written over its old bytes.
    int64_t offset = m_index.Offset(position);
    if (length > m_index.Length(position)) {
        offset = FileSize(m_file.Get());
        if (offset < 0)
            RaiseSystem(GetLastError());
    }
    if (offset + length > std::numeric_limits<int32_t>::max())
        throw CQdfException(CQdfException::qeUnknown, m_sFileName.c_str());
    // The entry changes only once the bytes are in the file, so a failed write
    // that moved the record leaves the old one readable.
    if (!WriteAt(m_file.Get(), offset, bytes, DWORD(length)))
        RaiseSystem(GetLastError());
    m_index.SetRecord(position, int32_t(offset), length);
    m_index.NoteWrite(length);
    return true;
}

int32_t CQdf::ReadRecord(uint32_t key, void* buffer, int32_t size) {
    std::vector<uint8_t> built;
    if (!IsOpen() || !m_index.MakeKey(key, built))
        return 0;
    return ReadKeyed(built, buffer, size);
}

int32_t CQdf::ReadRecord(const char* key, void* buffer, int32_t size) {
    std::vector<uint8_t> built;
    if (!IsOpen() || !m_index.MakeKey(key, built))
        return 0;
    return ReadKeyed(built, buffer, size);
}

int32_t CQdf::ReadKeyed(const std::vector<uint8_t>& key, void* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0)
        return 0;
    const CQdfIndex::Slot slot = m_index.Find(key.data());
    if (!slot.found)
        return 0;
    const int32_t length = std::min(m_index.Length(slot.position), size);
    return int32_t(ReadAt(m_file.Get(), m_index.Offset(slot.position), buffer, DWORD(length)));
}

bool CQdf::SetAppName(const char* name) {
    if (!IsOpen())
        return false;
    m_index.Header().SetAppName(name);
    return true;
}

bool CQdf::ReadHeaderName(const char* fileName, char (&name)[32]) {
    ui::UniqueHandle file(
        CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    uint8_t bytes[qdf::kHeaderSize];
    if (ReadAt(file.Get(), 0, bytes, sizeof(bytes)) != sizeof(bytes))
        throw CQdfException(CQdfException::qeDamaged, fileName);
    std::memcpy(name, t_QdfHeader::FromImage(bytes).szAppName, sizeof(name));
    return true;
}

QdfFileState CQdf::CheckFile(const char* fileName, int keyType, char (&name)[32]) {
    std::memset(name, 0, sizeof(name));
    ui::UniqueHandle file(
        CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return QdfFileState::cannotOpen;
    const int64_t size = FileSize(file.Get());
    const std::vector<uint8_t> start = ReadStart(file.Get(), size, keyType);
    CQdfIndex index(QdfCompareText);
    if (index.LoadStart(start.data(), start.size(), size, keyType) != QdfCheck::ok)
        return QdfFileState::damaged;
    std::memcpy(name, index.Header().szAppName, sizeof(name));
    return QdfFileState::sound;
}

uint32_t CQdf::HashKey(const char* text) {
    return text ? HashKey(text, int32_t(std::strlen(text))) : 0;
}

uint32_t CQdf::HashKey(const void* bytes, int32_t length) {
    if (bytes == nullptr || length <= 0)
        return 0;
    const size_t n = std::min(size_t(length), kMaxHashedBytes);
    char buffer[kMaxHashedBytes];
    std::memcpy(buffer, bytes, n);
    const size_t text = strnlen(buffer, n);
    CharUpperBuffA(buffer, DWORD(text));
    return qdf::SumHashWords(reinterpret_cast<const uint8_t*>(buffer), n);
}

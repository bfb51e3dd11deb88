// The settings, window-position and toolbar records: defaults, rules and
// their stored byte images.
#include "settings/Properties.h"

#include "settings/Bytes.h"

#include <algorithm>
#include <cstring>
#include <utility>

using settings::CopyBounded;
using settings::CopyField;
using settings::LoadI32;
using settings::StoreI32;

namespace {
// Stored offsets of the settings image. The first 4 bytes are reserved and
// written as zero; readers ignore them.
constexpr size_t kSourceAt = 4;
constexpr size_t kTargetAt = 264;
constexpr size_t kMaxWidthAt = 524;
constexpr size_t kMaxHeightAt = 528;
constexpr size_t kAutoAdvanceAt = 532;
constexpr size_t kSnapRatioAt = 533;
constexpr size_t kPrevRectAt = 534;
constexpr size_t kMaxSizeAt = 535;
constexpr size_t kEnlargementAt = 536;
constexpr size_t kFilenameModeAt = 537;

// Stored offsets of the window-position image; 0 and 24 to 32 are reserved.
constexpr size_t kLeftAt = 4;
constexpr size_t kTopAt = 8;
constexpr size_t kWidthAt = 12;
constexpr size_t kHeightAt = 16;
constexpr size_t kPanelWidthAt = 20;
constexpr size_t kMaximizedAt = 36;
} // namespace

TProperties::TProperties(const char* sourceFolder, const char* targetFolder) {
    SetSourceFolder(sourceFolder);
    SetTargetFolder(targetFolder);
}

void TProperties::Assign(const TProperties& other) {
    if (&other == this)
        return;
    CopyBounded(m_szSourceFolder, kFolderSize, other.m_szSourceFolder);
    CopyBounded(m_szTargetFolder, kFolderSize, other.m_szTargetFolder);
    m_nMaxWidth = other.m_nMaxWidth;
    m_nMaxHeight = other.m_nMaxHeight;
    m_bAutoAdvance = other.m_bAutoAdvance;
    m_bSnapRatio = other.m_bSnapRatio;
    m_bPrevRect = other.m_bPrevRect;
    m_bMaxSize = other.m_bMaxSize;
    m_bEnlargement = other.m_bEnlargement;
    m_nFilenameMode = other.m_nFilenameMode;
}

void TProperties::SetSourceFolder(const char* folder) {
    CopyBounded(m_szSourceFolder, kFolderSize, folder);
}

void TProperties::SetTargetFolder(const char* folder) {
    CopyBounded(m_szTargetFolder, kFolderSize, folder);
}

void TProperties::InvertRatio() {
    std::swap(m_nMaxWidth, m_nMaxHeight);
}

TProperties::Image TProperties::ToImage() const {
    Image image{};
    // Only the text and its zero are stored; the rest of each field stays zero
    // so the same settings always give the same bytes.
    std::memcpy(&image[kSourceAt], m_szSourceFolder, strnlen(m_szSourceFolder, kFolderSize - 1));
    std::memcpy(&image[kTargetAt], m_szTargetFolder, strnlen(m_szTargetFolder, kFolderSize - 1));
    StoreI32(&image[kMaxWidthAt], m_nMaxWidth);
    StoreI32(&image[kMaxHeightAt], m_nMaxHeight);
    image[kAutoAdvanceAt] = m_bAutoAdvance ? 1 : 0;
    image[kSnapRatioAt] = m_bSnapRatio ? 1 : 0;
    image[kPrevRectAt] = m_bPrevRect ? 1 : 0;
    image[kMaxSizeAt] = m_bMaxSize ? 1 : 0;
    image[kEnlargementAt] = m_bEnlargement ? 1 : 0;
    image[kFilenameModeAt] = m_nFilenameMode;
    return image;
}

bool TProperties::FromImage(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size < kImageSize)
        return false;
    CopyField(m_szSourceFolder, kFolderSize, &bytes[kSourceAt], kFolderSize);
    CopyField(m_szTargetFolder, kFolderSize, &bytes[kTargetAt], kFolderSize);
    m_nMaxWidth = LoadI32(&bytes[kMaxWidthAt]);
    m_nMaxHeight = LoadI32(&bytes[kMaxHeightAt]);
    m_bAutoAdvance = bytes[kAutoAdvanceAt] != 0;
    m_bSnapRatio = bytes[kSnapRatioAt] != 0;
    m_bPrevRect = bytes[kPrevRectAt] != 0;
    m_bMaxSize = bytes[kMaxSizeAt] != 0;
    m_bEnlargement = bytes[kEnlargementAt] != 0;
    // A mode outside the three would leave the copy command without a rule
    // for existing files; fall back to asking before overwriting.
    const uint8_t mode = bytes[kFilenameModeAt];
    m_nFilenameMode = mode <= fmNeverPrompt ? mode : uint8_t(fmPromptOverwrite);
    return true;
}

void TWinPos::CentreIn(int32_t screenWidth, int32_t screenHeight, int32_t width, int32_t height) {
    // Halved with truncation toward zero, computed wide so no input overflows.
    m_nLeft = int32_t((int64_t(screenWidth) - width) / 2);
    m_nTop = int32_t((int64_t(screenHeight) - height) / 2);
}

void TWinPos::ClampToScreen(int32_t screenWidth, int32_t screenHeight) {
    m_nLeft = int32_t(std::min<int64_t>(std::max<int32_t>(m_nLeft, 0), int64_t(screenWidth) - 50));
    m_nTop = int32_t(std::min<int64_t>(std::max<int32_t>(m_nTop, 0), int64_t(screenHeight) - 50));
}

TWinPos::Image TWinPos::ToImage() const {
    Image image{};
    StoreI32(&image[kLeftAt], m_nLeft);
    StoreI32(&image[kTopAt], m_nTop);
    StoreI32(&image[kWidthAt], m_nWidth);
    StoreI32(&image[kHeightAt], m_nHeight);
    StoreI32(&image[kPanelWidthAt], m_nPanelWidth);
    StoreI32(&image[kMaximizedAt], m_bMaximized);
    return image;
}

bool TWinPos::FromImage(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size < kImageSize)
        return false;
    m_nLeft = LoadI32(&bytes[kLeftAt]);
    m_nTop = LoadI32(&bytes[kTopAt]);
    m_nWidth = LoadI32(&bytes[kWidthAt]);
    m_nHeight = LoadI32(&bytes[kHeightAt]);
    m_nPanelWidth = LoadI32(&bytes[kPanelWidthAt]);
    m_bMaximized = LoadI32(&bytes[kMaximizedAt]);
    return true;
}

namespace toolbar {

std::array<uint8_t, kImageSize> ToImage(ToolbarFlags flags) {
    std::array<uint8_t, kImageSize> image{};
    settings::StoreU32(image.data(), flags & kUsedBits);
    return image;
}

ToolbarFlags FromImage(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size < kImageSize)
        return kDefault;
    return settings::LoadU32(bytes) & kUsedBits;
}

} // namespace toolbar

// The three records the program remembers between runs: the user's settings
// (TProperties), a window's position (TWinPos) and the toolbar word
// (ToolbarFlags), with their fixed little-endian byte images as the
// configuration file stores them.
//
// Plain code: the two members that need the system (TProperties' default
// construction, which reads the per-user special folders, and
// TWinPos::CentreOnScreen) are defined in the Win32 part of this folder
// (PropertiesWin.cpp). Code that must also build on the host constructs
// TProperties from explicit folders instead.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// File-name prompt when copying, in the order of the dialog's radio group.
enum FilenameMode : uint8_t {
    fmAlwaysPrompt = 0,
    fmPromptOverwrite = 1,
    fmNeverPrompt = 2,
};

class TProperties {
public:
    static constexpr size_t kFolderSize = 260; // 259 characters and the zero
    // The longest folder text a field holds whole, in bytes: fewer
    // characters where the names are UTF-8 and not plain Latin.
    static constexpr size_t kMaxFolderBytes = kFolderSize - 1;
    static constexpr size_t kImageSize = 540;  // stored byte image
    using Image = std::array<uint8_t, kImageSize>;

    // The defaults, with the per-user "My Pictures" folder as source and the
    // "Personal" folder as copy folder (empty when the lookup finds nothing).
    // Win32 only.
    TProperties();
    // The defaults with the given folders (null means empty).
    TProperties(const char* sourceFolder, const char* targetFolder);

    // Copies every field of another record.
    void Assign(const TProperties& other);
    // Bounded copy into the source folder; null stores an empty folder.
    void SetSourceFolder(const char* folder);
    // Bounded copy into the copy folder; null stores an empty folder.
    void SetTargetFolder(const char* folder);

    // Both maximum sizes set (above 0): snap ratio, maximum size, enlargement
    // and ratio inversion are available only then.
    bool HasMaxDimensions() const { return m_nMaxWidth > 0 && m_nMaxHeight > 0; }
    bool IsMaxSizeActive() const { return HasMaxDimensions() && m_bMaxSize; }
    // Swaps the maximum width and height.
    void InvertRatio();

    // The 540-byte stored image.
    Image ToImage() const;
    // Takes the fields from a stored image. Folders are cut to 259 characters
    // when their zero is missing, any non-zero switch byte reads as true and
    // an unknown prompt mode reads as the default. Returns false (record
    // unchanged) when fewer than 540 bytes are given.
    bool FromImage(const uint8_t* bytes, size_t size);

    char m_szSourceFolder[kFolderSize];
    char m_szTargetFolder[kFolderSize];
    int32_t m_nMaxWidth = 0;
    int32_t m_nMaxHeight = 0;
    bool m_bAutoAdvance = true;
    bool m_bSnapRatio = true;
    bool m_bPrevRect = true;
    bool m_bMaxSize = true;
    bool m_bEnlargement = false;
    uint8_t m_nFilenameMode = fmPromptOverwrite;
};

// A window's stored position and state: the main window's (with the list
// pane width and the maximised flag) or the properties dialog's.
class TWinPos {
public:
    static constexpr size_t kImageSize = 40;
    using Image = std::array<uint8_t, kImageSize>;

    TWinPos() = default;
    TWinPos(int32_t left, int32_t top, int32_t width, int32_t height)
        : m_nLeft(left), m_nTop(top), m_nWidth(width), m_nHeight(height) {}
    TWinPos(int32_t left, int32_t top, int32_t width, int32_t height, int32_t panelWidth)
        : m_nLeft(left), m_nTop(top), m_nWidth(width), m_nHeight(height), m_nPanelWidth(panelWidth) {}
    TWinPos(const TWinPos&) = default;
    TWinPos& operator=(const TWinPos&) = default;

    // Centres a window of this size on the primary display; the stored width
    // and height are left alone. Win32 only.
    void CentreOnScreen(int32_t width, int32_t height);
    // The same for a screen of the given size; results may be negative.
    void CentreIn(int32_t screenWidth, int32_t screenHeight, int32_t width, int32_t height);
    // Keeps the top-left corner on a screen of the given size: left into
    // 0 .. screen width - 50 and top into 0 .. screen height - 50, raised to 0
    // first and lowered to the bound second.
    void ClampToScreen(int32_t screenWidth, int32_t screenHeight);

    Image ToImage() const;
    // Takes the fields from a stored image (the reserved words are not taken).
    // Returns false (position unchanged) when fewer than 40 bytes are given.
    bool FromImage(const uint8_t* bytes, size_t size);

    int32_t m_nLeft = 0;
    int32_t m_nTop = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nPanelWidth = 0;
    int32_t m_bMaximized = 0;
};

// One 32-bit word of toolbar visibility bits: a set bit shows the button (or
// the toolbar, or the captions).
using ToolbarFlags = uint32_t;

namespace toolbar {
constexpr ToolbarFlags kShowToolbar = 0x0001;
constexpr ToolbarFlags kShowProperties = 0x0002;
constexpr ToolbarFlags kShowRotateRight = 0x0004;
constexpr ToolbarFlags kShowRotateLeft = 0x0008;
constexpr ToolbarFlags kShowRotateUp = 0x0010;
constexpr ToolbarFlags kShowSnapRatio = 0x0020;
constexpr ToolbarFlags kShowPrevImage = 0x0040;
constexpr ToolbarFlags kShowNextImage = 0x0080;
constexpr ToolbarFlags kShowCopy = 0x0100;
constexpr ToolbarFlags kShowCaptions = 0x0200;
constexpr ToolbarFlags kShowMaxSize = 0x0400;
constexpr ToolbarFlags kShowEnlargement = 0x0800;
constexpr ToolbarFlags kShowHelp = 0x1000;
constexpr ToolbarFlags kShowInvertRatio = 0x2000;
// Bits 14 to 31 carry nothing: written as 0, dropped on reading.
constexpr ToolbarFlags kUsedBits = 0x3FFF;
// Everything shown except the enlargement button.
constexpr ToolbarFlags kDefault = 0x37FF;

constexpr size_t kImageSize = 4;
std::array<uint8_t, kImageSize> ToImage(ToolbarFlags flags);
// The stored word without the unused bits, or kDefault when fewer than 4
// bytes are given.
ToolbarFlags FromImage(const uint8_t* bytes, size_t size);
} // namespace toolbar

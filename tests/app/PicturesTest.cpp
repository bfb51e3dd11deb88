// The program's pictures, loaded from the module as the main window loads
// them: each strip and icon has its size, every glyph is drawn (opaque
// pixels and transparent ones) and no two glyphs of a strip are alike.
#include "resources/PictureIds.h"
#include "resources/resource.h"
#include "ui/Dib.h"
#include "ui/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// DIB pixels are 0x00RRGGBB; the mask colour is a COLORREF, 0x00BBGGRR.
constexpr uint32_t kTransparent = uint32_t(GetRValue(PICTURE_MASK_COLOUR)) << 16 |
                                  uint32_t(GetGValue(PICTURE_MASK_COLOUR)) << 8 |
                                  GetBValue(PICTURE_MASK_COLOUR);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // top row first
};

Picture ReadStrip(int id) {
    ui::UniqueBitmap strip(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!strip || !GetObjectA(strip.Get(), sizeof info, &info) || info.bmBitsPixel != 24)
        return {};
    Picture picture{info.bmWidth, info.bmHeight, std::vector<uint32_t>(size_t(info.bmWidth) * info.bmHeight)};
    BITMAPINFO bi = ui::TopDownInfo(info.bmWidth, info.bmHeight);
    ui::WindowDC screen(nullptr);
    GetDIBits(screen.Get(), strip.Get(), 0, info.bmHeight, picture.pixels.data(), &bi, DIB_RGB_COLORS);
    return picture;
}

// Whether the icon holds an image of its own at `side` pixels, rather than
// leaving Windows to scale another one.
bool IconHasSide(int side) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDI_MAINICON), RT_GROUP_ICON);
    const auto* directory =
        found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    if (!directory || SizeofResource(module, found) < 6)
        return false;
    const int count = directory[4] | directory[5] << 8;
    for (int i = 0; i < count && 6 + 14 * (i + 1) <= int(SizeofResource(module, found)); ++i)
        if (directory[6 + 14 * i] == side % 256) // 0 stands for 256
            return true;
    return false;
}

// The icon at `side` pixels as Windows draws it on the mask colour.
Picture ReadIcon(int side) {
    if (!IconHasSide(side))
        return {};
    std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&DestroyIcon)> icon(
        static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAINICON), IMAGE_ICON, side, side, 0)),
        &DestroyIcon);
    ICONINFO parts{};
    if (!icon || !GetIconInfo(icon.get(), &parts))
        return {};
    ui::UniqueBitmap colour(parts.hbmColor), mask(parts.hbmMask);
    BITMAP info{};
    GetObjectA(colour ? colour.Get() : mask.Get(), sizeof info, &info);
    if (info.bmWidth != side)
        return {info.bmWidth, info.bmHeight, {}};

    BITMAPINFO bi = ui::TopDownInfo(side, side);
    void* bits = nullptr;
    ui::WindowDC screen(nullptr);
    ui::UniqueBitmap canvas(CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ui::UniqueMemoryDC dc(screen.Get());
    ui::ScopedSelect select(dc.Get(), canvas.Get());
    ui::UniqueBrush background(CreateSolidBrush(PICTURE_MASK_COLOUR));
    RECT all{0, 0, side, side};
    FillRect(dc.Get(), &all, background.Get());
    DrawIconEx(dc.Get(), 0, 0, icon.get(), side, side, 0, nullptr, DI_NORMAL);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    Picture picture{side, side, {}};
    for (int i = 0; i < side * side; ++i)
        picture.pixels.push_back(first[i] & 0x00FFFFFF);
    return picture;
}

struct Expected {
    const char* name;
    int id;     // bitmap resource, or 0 for the program icon
    int width;  // of the strip, or the icon's side
    int glyphs; // 16 x 16 glyphs side by side; the icon is one
};

const Expected kPictures[] = {
    {"command glyphs", IDB_COMMAND_GLYPHS, 192, 12},
    {"tree icons", IDB_TREE_ICONS, 48, 3},
    {"folder glyph", IDB_FOLDER_GLYPH, 16, 1},
    {"program icon", 0, 16, 1},
    {"program icon", 0, 24, 1},
    {"program icon", 0, 32, 1},
    {"program icon", 0, 48, 1},
    {"program icon", 0, 256, 1},
};

} // namespace

TEST(Pictures, EachHasItsSizeAndDistinctDrawnGlyphs) {
    for (const auto& expected : kPictures) {
        SCOPED_TRACE(std::string(expected.name) + " " + std::to_string(expected.width));
        const Picture picture = expected.id ? ReadStrip(expected.id) : ReadIcon(expected.width);
        ASSERT_EQ(picture.width, expected.width);
        ASSERT_EQ(picture.height, expected.id ? PICTURE_GLYPH_SIZE : expected.width);
        ASSERT_EQ(picture.pixels.size(), size_t(picture.width) * picture.height);

        const int side = picture.width / expected.glyphs;
        std::set<std::vector<uint32_t>> seen;
        for (int glyph = 0; glyph < expected.glyphs; ++glyph) {
            std::vector<uint32_t> own;
            for (int y = 0; y < picture.height; ++y)
                for (int x = glyph * side; x < (glyph + 1) * side; ++x)
                    own.push_back(picture.pixels[size_t(y) * picture.width + x]);
            const auto clear = std::count(own.begin(), own.end(), kTransparent);
            // A glyph drawn on any other background shows as a box.
            EXPECT_GT(clear, 0) << "glyph " << glyph << " has no transparent pixel";
            EXPECT_GT(own.size() - clear, own.size() / 8) << "glyph " << glyph << " is nearly empty";
            EXPECT_TRUE(seen.insert(own).second) << "glyph " << glyph << " repeats an earlier one";
        }
    }
}

// The settings, window-position and toolbar records: defaults, rules, and
// the exact stored byte images other copies of the program read.
#include "settings/Properties.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {
uint32_t WordAt(const uint8_t* image, size_t offset) {
    return uint32_t(image[offset]) | uint32_t(image[offset + 1]) << 8 | uint32_t(image[offset + 2]) << 16 |
           uint32_t(image[offset + 3]) << 24;
}
} // namespace

TEST(Properties, DefaultsLeaveSizeRulesUnavailable) {
    TProperties p("C:\\Pictures", "C:\\Documents");
    EXPECT_STREQ(p.m_szSourceFolder, "C:\\Pictures");
    EXPECT_STREQ(p.m_szTargetFolder, "C:\\Documents");
    EXPECT_EQ(p.m_nMaxWidth, 0);
    EXPECT_EQ(p.m_nMaxHeight, 0);
    EXPECT_TRUE(p.m_bAutoAdvance);
    EXPECT_TRUE(p.m_bSnapRatio);
    EXPECT_TRUE(p.m_bPrevRect);
    EXPECT_TRUE(p.m_bMaxSize);
    EXPECT_FALSE(p.m_bEnlargement);
    EXPECT_EQ(p.m_nFilenameMode, fmPromptOverwrite);
    // The switches read on, yet without both sizes nothing of them applies.
    EXPECT_FALSE(p.HasMaxDimensions());
    EXPECT_FALSE(p.IsMaxSizeActive());

    TProperties none(nullptr, nullptr);
    EXPECT_STREQ(none.m_szSourceFolder, "");
    EXPECT_STREQ(none.m_szTargetFolder, "");
}

TEST(Properties, SizePredicates) {
    struct Case {
        int32_t width, height;
        bool maxSize;
        bool has, active;
    };
    const std::vector<Case> cases = {
        {800, 600, true, true, true}, {800, 600, false, true, false},  {0, 600, true, false, false},
        {800, 0, true, false, false}, {-800, 600, true, false, false}, {800, -1, true, false, false},
        {1, 1, true, true, true},     {0, 0, false, false, false},
    };
    for (const Case& c : cases) {
        TProperties p(nullptr, nullptr);
        p.m_nMaxWidth = c.width;
        p.m_nMaxHeight = c.height;
        p.m_bMaxSize = c.maxSize;
        EXPECT_EQ(p.HasMaxDimensions(), c.has) << c.width << " x " << c.height;
        EXPECT_EQ(p.IsMaxSizeActive(), c.active) << c.width << " x " << c.height << " " << c.maxSize;
    }
}

TEST(Properties, InvertRatioSwapsAndTwiceRestores) {
    TProperties p(nullptr, nullptr);
    p.m_nMaxWidth = 800;
    p.m_nMaxHeight = 600;
    p.InvertRatio();
    EXPECT_EQ(p.m_nMaxWidth, 600);
    EXPECT_EQ(p.m_nMaxHeight, 800);
    p.InvertRatio();
    EXPECT_EQ(p.m_nMaxWidth, 800);
    EXPECT_EQ(p.m_nMaxHeight, 600);
}

TEST(Properties, FolderCopiesAreBounded) {
    const std::string longText(300, 'x');
    TProperties p(longText.c_str(), longText.c_str());
    EXPECT_EQ(std::string(p.m_szSourceFolder), longText.substr(0, 259));
    EXPECT_EQ(std::string(p.m_szTargetFolder), longText.substr(0, 259));

    p.SetSourceFolder("D:\\Photos\\2024");
    EXPECT_STREQ(p.m_szSourceFolder, "D:\\Photos\\2024");
    p.SetSourceFolder(longText.c_str());
    EXPECT_EQ(std::string(p.m_szSourceFolder), longText.substr(0, 259));
    p.SetSourceFolder(nullptr);
    EXPECT_STREQ(p.m_szSourceFolder, "");
}

TEST(Properties, AssignCopiesEveryField) {
    TProperties from("S", "T");
    from.m_nMaxWidth = 1024;
    from.m_nMaxHeight = 768;
    from.m_bAutoAdvance = false;
    from.m_bSnapRatio = false;
    from.m_bPrevRect = false;
    from.m_bMaxSize = false;
    from.m_bEnlargement = true;
    from.m_nFilenameMode = fmNeverPrompt;
    TProperties to("other source", "other target");
    to.Assign(from);
    EXPECT_EQ(to.ToImage(), from.ToImage());
    EXPECT_STREQ(to.m_szSourceFolder, "S");
    to.Assign(to);
    EXPECT_EQ(to.ToImage(), from.ToImage());
}

TEST(Properties, ImageLayout) {
    TProperties p("C:\\Src", "C:\\Dst");
    p.m_nMaxWidth = 800;
    p.m_nMaxHeight = -600;
    p.m_bAutoAdvance = true;
    p.m_bSnapRatio = false;
    p.m_bPrevRect = true;
    p.m_bMaxSize = false;
    p.m_bEnlargement = true;
    p.m_nFilenameMode = fmNeverPrompt;
    const TProperties::Image image = p.ToImage();
    ASSERT_EQ(image.size(), 540u);
    EXPECT_EQ(WordAt(image.data(), 0), 0u);
    EXPECT_EQ(std::memcmp(&image[4], "C:\\Src\0", 7), 0);
    EXPECT_EQ(std::memcmp(&image[264], "C:\\Dst\0", 7), 0);
    for (size_t i = 4 + 6; i < 264; ++i)
        ASSERT_EQ(image[i], 0) << i;
    EXPECT_EQ(WordAt(image.data(), 524), 800u);
    EXPECT_EQ(int32_t(WordAt(image.data(), 528)), -600);
    const std::vector<uint8_t> tail(image.begin() + 532, image.end());
    EXPECT_EQ(tail, (std::vector<uint8_t>{1, 0, 1, 0, 1, 2, 0, 0}));
}

TEST(Properties, ImageRoundTripAndReading) {
    TProperties p("A folder", "B folder");
    p.m_nMaxWidth = 1920;
    p.m_nMaxHeight = 1080;
    p.m_bEnlargement = true;
    p.m_nFilenameMode = fmAlwaysPrompt;
    const TProperties::Image image = p.ToImage();
    TProperties q(nullptr, nullptr);
    ASSERT_TRUE(q.FromImage(image.data(), image.size()));
    EXPECT_EQ(q.ToImage(), image);

    // Reserved and padding bytes are ignored; any non-zero switch is on; a
    // folder without its zero is cut to 259 characters; an unknown prompt mode
    // reads as the default.
    TProperties::Image odd = image;
    odd[0] = 0xAB;
    odd[3] = 0xCD;
    odd[538] = 0xFF;
    odd[539] = 0x7F;
    odd[532] = 0x80;
    odd[536] = 0x02;
    std::memset(&odd[4], 'z', 260);
    odd[537] = 3;
    TProperties r(nullptr, nullptr);
    ASSERT_TRUE(r.FromImage(odd.data(), odd.size()));
    EXPECT_EQ(std::string(r.m_szSourceFolder), std::string(259, 'z'));
    EXPECT_STREQ(r.m_szTargetFolder, "B folder");
    EXPECT_TRUE(r.m_bAutoAdvance);
    EXPECT_TRUE(r.m_bEnlargement);
    EXPECT_EQ(r.m_nFilenameMode, fmPromptOverwrite);
    const TProperties::Image back = r.ToImage();
    EXPECT_EQ(back[532], 1);
    EXPECT_EQ(back[0], 0);
    EXPECT_EQ(back[538], 0);
    EXPECT_EQ(back[263], 0);

    // A short record changes nothing.
    TProperties s("keep", "keep too");
    EXPECT_FALSE(s.FromImage(image.data(), 539));
    EXPECT_STREQ(s.m_szSourceFolder, "keep");
    EXPECT_EQ(s.m_nMaxWidth, 0);
}

TEST(WinPos, ConstructionForms) {
    const TWinPos zero;
    EXPECT_EQ(zero.ToImage(), TWinPos::Image{});
    const TWinPos dialog(10, 20, 450, 383);
    EXPECT_EQ(dialog.m_nPanelWidth, 0);
    EXPECT_EQ(dialog.m_bMaximized, 0);
    TWinPos main(-5, 7, 800, 600, 150);
    main.m_bMaximized = 1;
    const TWinPos copy(main);
    EXPECT_EQ(copy.ToImage(), main.ToImage());
    EXPECT_EQ(copy.m_nPanelWidth, 150);
}

TEST(WinPos, ImageLayoutAndRoundTrip) {
    TWinPos pos(-200, 30, 1024, 768, 120);
    pos.m_bMaximized = 1;
    const TWinPos::Image image = pos.ToImage();
    const std::vector<uint32_t> words = {0, uint32_t(-200), 30, 1024, 768, 120, 0, 0, 0, 1};
    for (size_t i = 0; i < words.size(); ++i)
        EXPECT_EQ(WordAt(image.data(), 4 * i), words[i]) << "word " << i;

    TWinPos::Image stored = image;
    stored[0] = 0x55; // reserved words are not taken into the live record
    stored[24] = 0x66;
    TWinPos back;
    ASSERT_TRUE(back.FromImage(stored.data(), stored.size()));
    EXPECT_EQ(back.ToImage(), image);

    TWinPos untouched(1, 2, 3, 4, 5);
    EXPECT_FALSE(untouched.FromImage(image.data(), 39));
    EXPECT_EQ(untouched.m_nLeft, 1);
}

TEST(WinPos, CentreAndClamp) {
    struct Centre {
        int32_t screenW, screenH, w, h, left, top;
    };
    for (const Centre& c : std::vector<Centre>{{1024, 768, 1200, 900, -88, -66},
                                               {1024, 768, 500, 400, 262, 184},
                                               {1024, 768, 501, 401, 261, 183},
                                               {1024, 768, 1025, 769, 0, 0}, // -1 / 2 truncates to 0
                                               {1024, 768, 1027, 771, -1, -1}}) {
        TWinPos pos(0, 0, 77, 88);
        pos.CentreIn(c.screenW, c.screenH, c.w, c.h);
        EXPECT_EQ(pos.m_nLeft, c.left) << c.w;
        EXPECT_EQ(pos.m_nTop, c.top) << c.h;
        EXPECT_EQ(pos.m_nWidth, 77);
        EXPECT_EQ(pos.m_nHeight, 88);
    }

    struct Clamp {
        int32_t left, top, wantLeft, wantTop;
    };
    for (const Clamp& c : std::vector<Clamp>{{-200, -1, 0, 0},
                                             {100, 100, 100, 100},
                                             {974, 718, 974, 718},
                                             {975, 719, 974, 718},
                                             {5000, 5000, 974, 718},
                                             {INT32_MIN, INT32_MAX, 0, 718}}) {
        TWinPos pos(c.left, c.top, 10, 10);
        pos.ClampToScreen(1024, 768);
        EXPECT_EQ(pos.m_nLeft, c.wantLeft) << c.left;
        EXPECT_EQ(pos.m_nTop, c.wantTop) << c.top;
    }
    // A screen narrower than the 50-pixel margin lowers the bound below 0,
    // and lowering comes last.
    TWinPos tiny(10, 10, 1, 1);
    tiny.ClampToScreen(40, 30);
    EXPECT_EQ(tiny.m_nLeft, -10);
    EXPECT_EQ(tiny.m_nTop, -20);
}

TEST(ToolbarWord, ImageAndUnusedBits) {
    EXPECT_EQ(toolbar::kDefault, 0x37FFu);
    EXPECT_EQ(toolbar::kDefault & toolbar::kShowEnlargement, 0u);
    EXPECT_EQ(toolbar::kDefault | toolbar::kShowEnlargement, toolbar::kUsedBits);

    const auto image = toolbar::ToImage(0xFFFFFFFFu);
    EXPECT_EQ(WordAt(image.data(), 0), 0x3FFFu);
    const auto def = toolbar::ToImage(toolbar::kDefault);
    EXPECT_EQ(std::vector<uint8_t>(def.begin(), def.end()), (std::vector<uint8_t>{0xFF, 0x37, 0, 0}));

    const uint8_t zero[4] = {0, 0, 0, 0};
    EXPECT_EQ(toolbar::FromImage(zero, 4), 0u); // hides everything
    const uint8_t high[4] = {0x01, 0x02, 0xFF, 0xFF};
    EXPECT_EQ(toolbar::FromImage(high, 4), 0x0201u);
    EXPECT_EQ(toolbar::FromImage(high, 2), toolbar::kDefault);
    EXPECT_EQ(toolbar::FromImage(nullptr, 0), toolbar::kDefault);
}

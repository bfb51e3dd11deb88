// The copy-size examples of the help page are worked out again by the crop
// box itself, so the page cannot drift from what the program does. Each row
// is a picture the size of the crop with a box over all of it, or a picture
// without a box.
#include "view/CropBox.h"

#include "view/RecordingHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The texts of a table row's cells.
std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells;
    for (size_t at = row.find("<td>"); at != std::string::npos; at = row.find("<td>", at)) {
        at += 4;
        cells.push_back(row.substr(at, row.find("</td>", at) - at));
    }
    return cells;
}

// "W &times; H", and nothing else.
bool ReadSize(const std::string& cell, TSize& size) {
    char rest = 0;
    return std::sscanf(cell.c_str(), "%d &times; %d%c", &size.Width, &size.Height, &rest) == 2;
}

bool ReadSwitch(const std::string& cell, bool& on) {
    on = cell == "on";
    return on || cell == "off";
}

} // namespace

TEST(HelpCopySize, ExamplesAreTheCropBoxResults) {
    std::ifstream file(SNAPWELL_SOURCE_DIR "/help/copy_size.html");
    ASSERT_TRUE(file);
    std::stringstream text;
    text << file.rdbuf();
    const std::string page = text.str();
    const auto begin = page.find("<table class=\"examples\">");
    const auto end = page.find("</table>", begin);
    ASSERT_NE(end, std::string::npos);

    // Maximum | Crop (or "no box, picture ...") | Max Size | Snap Ratio | Enlargement | Copy
    const std::string noBox = "no box, picture ";
    std::istringstream table(page.substr(begin, end - begin));
    int rows = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.rfind("<tr><td>", 0) != 0)
            continue; // the heading
        auto cells = Cells(line);
        ASSERT_EQ(cells.size(), 6u) << line;
        const bool hasBox = cells[1].rfind(noBox, 0) != 0;
        if (!hasBox)
            cells[1].erase(0, noBox.size());
        TCropSettings settings;
        TSize maximum, picture, copy;
        ASSERT_TRUE(ReadSize(cells[0], maximum) && ReadSize(cells[1], picture) &&
                    ReadSwitch(cells[2], settings.m_bMaxSize) &&
                    ReadSwitch(cells[3], settings.m_bSnapRatio) &&
                    ReadSwitch(cells[4], settings.m_bEnlargement) && ReadSize(cells[5], copy))
            << "a row in another form: " << line;
        settings.m_nMaxWidth = maximum.Width;
        settings.m_nMaxHeight = maximum.Height;

        HostedBox hb(settings);
        hb.box.NewPicture(picture.Width, picture.Height, 820, 620);
        const TDrawBox& placed = hb.box.DrawBox();
        if (hasBox)
            hb.box.SetCorners({placed.Left, placed.Top}, {placed.Right, placed.Bottom});
        TRect crop{};
        const TSize result = hb.box.GetCropGeometry(crop, true);
        EXPECT_TRUE(result == copy) << line << "\n  the crop box gives " << result.Width << " x "
                                    << result.Height;
        ++rows;
    }
    EXPECT_GE(rows, 10);
}

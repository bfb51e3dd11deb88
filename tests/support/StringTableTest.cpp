// Every string the program shows, read from the linked resources, against
// the texts as they are written down here (not read back from the table).
#include "resources/StringIds.h"
#include "support/StringTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct Expected {
    int id;
    const char* text;
};

const Expected kTable[] = {
    {1000, "Snapwell"},
    {1001, "Snap Ratio cannot be used without a Maximum Target Image Size\n"
           "Width and Height value set in the Properties Dialog."},
    {1002, "Failure creating m_pImage."},
    {1003, "Failure loading the image dll"},
    {1004, "Failure creating m_pImageCtrl"},
    {1005, "Failuer to open source image file:\n\n%s"},
    {1006, "The target folder does not exist:\n\n%s\n\nCreate target folder?"},
    {1007, "Failuer to create folder:\n\n%s"},
    {1008, "The source and target folders must be different."},
    {1010, "Error loading the configuration file."},
    {1011, "Create Folder:\n\n\"%s\""},
    {1012, "\"Lakeside at Dusk\"\nby the Snapwell team"},
    {1015, "Failure loading the help file,\nSnapwell help will not be available.\n\n%s"},
    {1016, "Cannot enforce Maximum Size without a Maximum Target Image Size\n"
           "Width and Height value set in the Properties Dialog."},
    {1017, "Cannot enable enlargement without a Maximum Target Image Size\n"
           "Width and Height value set in the Properties Dialog."},
    {1018, "Select Source Folder"},
    {1019, "Select Copy Folder"},
    {1020, "The copy would replace a source image:\n\n%s\n\nChoose another name or folder for the copy."},
    {1021, "Failure to write the copy:\n\n%s\n\n%s"},
    {1022, "The source image file has changed since it was shown:\n\n%s\n\n"
           "It is shown as it is now. Check the crop and copy it again."},
    {1024, "The folder path is too long to be kept in the settings:\n\n%s\n\nA path may take at most 259 "
           "bytes, and each character beyond plain Latin letters, digits and signs takes two to four. "
           "Choose a folder with a shorter path."},
    {1025, "There is not enough memory to turn this picture:\n\n%s\n\nIt is shown and copied as it was. "
           "Close other programs and turn it again."},
};
} // namespace

TEST(StringTable, EveryIdHasItsText) {
    for (const auto& entry : kTable)
        EXPECT_EQ(LoadResString(entry.id), entry.text) << "string " << entry.id;
}

TEST(StringTable, UnusedAndUnknownIdsAreEmpty) {
    for (int id : {1009, 1013, 1014, 1023, 999, 0, 65535})
        EXPECT_EQ(LoadResString(id), "") << "string " << id;
}

TEST(StringTable, FormattedTextsNameTheirFolderOnce) {
    EXPECT_EQ(FormatResString(IDS_CREATE_FOLDER, "C:\\Photos\\100%\\New"),
              "Create Folder:\n\n\"C:\\Photos\\100%\\New\"");
    EXPECT_EQ(FormatResString(IDS_TARGET_MISSING, "D:\\Copy"),
              "The target folder does not exist:\n\nD:\\Copy\n\nCreate target folder?");
    // A path longer than any fixed message buffer is kept whole.
    const std::string deep = "C:\\" + std::string(600, 'x');
    EXPECT_EQ(FormatResString(IDS_FOLDER_CREATE_FAILED, deep), "Failuer to create folder:\n\n" + deep);
    EXPECT_EQ(FormatResString(IDS_PRODUCT, "ignored"), "Snapwell");
}

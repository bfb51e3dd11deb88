#include "app/CommandTable.h"

namespace {
constexpr ui::TShortcut kNone{};
constexpr ui::TShortcut Ctrl(char key) {
    return ui::TShortcut{static_cast<unsigned>(key), true, false, false};
}
constexpr ui::TShortcut kF1{0x70, false, false, false};
} // namespace

std::vector<ui::TCommandDef> MainCommands() {
    return {
        {cmdExit, "Exit", "Exit Application|Close Snapwell", kNone, -1, false},
        {cmdHelp, "Help", "Display the help file", kF1, glHelp, false},
        {cmdAbout, "About", "Display the about dialog", kNone, -1, false},
        {cmdRotateRight, "Right 90", "Rotate the selected image clockwise 90 degrees", kNone, glRotateRight,
         false},
        {cmdRotateLeft, "Left 90", "Rotate the selected image counter-clockwise 90 degrees", kNone,
         glRotateLeft, false},
        {cmdRotateUp, "180", "Rotate the selected image 180 degrees", kNone, glRotate180, false},
        {cmdCopy, "Copy Image", "Create a copy of the selected image to the target folder", Ctrl('C'), glCopy,
         false},
        {cmdNextImage, "Next Image", "Select the next image", Ctrl('X'), glNext, false},
        {cmdPrevImage, "Prev Image", "Select the previous image", Ctrl('Z'), glPrevious, false},
        {cmdPopulate, "Refersh", "", kNone, -1, false},
        {cmdProperties, "Properties", "Display the properties dialog", kNone, glProperties, false},
        {cmdSnapRatio, "Snap Ratio",
         "Size the crop rectangle to the ratio indicated by the maximum target image size", kNone,
         glSnapRatio, false},
        {cmdMaxSize, "Max Size", "Enable / Disable maximum size restraint", kNone, glMaxSize, false},
        {cmdEnlargement, "Enlargement", "Enable / Disable enlargement", kNone, glEnlargement, false},
        {cmdInvertRatio, "Invert Ratio", "Invert (swap) the maximum width and height / ratio values", kNone,
         glInvertRatio, false},
        {cmdPrevRect, "Previous Rectangle", "Keep current crop rectangle for the next selected image", kNone,
         -1, false},
        {cmdAutoAdvance, "Auto Advance",
         "Automatically select the next image after creating copy of current image", kNone, -1, false},
        {cmdShowProperties, "Properties", "Show / Hide the properties dialog toolbar button", kNone, -1,
         true},
        {cmdShowRotateRight, "Rotate Right", "Show / Hide the rotate clockwise 90 degrees toolbar button",
         kNone, -1, true},
        {cmdShowRotateLeft, "Rotate Left",
         "Show / Hide the rotate counter-clockwise 90 degrees toolbar button", kNone, -1, true},
        {cmdShowRotateUp, "Rotate 180", "Show / Hide the rotate 180 degrees toolbar button", kNone, -1, true},
        {cmdShowSnapRatio, "Snap Ratio", "Show / Hide the snap to ratio toolbar button", kNone, -1, true},
        {cmdShowInvertRatio, "Invert Ratio", "", kNone, -1, true},
        {cmdShowMaxSize, "Max Size", "", kNone, -1, true},
        {cmdShowEnlargement, "Enlargement", "", kNone, -1, true},
        {cmdShowPrevImage, "Previous Image", "Show / Hide the select previous image toolbar button", kNone,
         -1, true},
        {cmdShowNextImage, "Next Image", "Show / Hide the select next image toolbar button", kNone, -1, true},
        {cmdShowCopy, "Copy Image", "Show / Hide the copy image toolbar button", kNone, -1, true},
        {cmdShowHelp, "Help", "", kNone, -1, true},
        {cmdShowAllTbb, "Show All Buttons", "Show all toolbar buttons", kNone, -1, false},
        {cmdShowCaptions, "Show Captions", "Show / Hide toolbar button captions", kNone, -1, true},
        {cmdShowToolbar, "Show Toolbar", "Show / Hide the entire toolbar", kNone, -1, true},
    };
}

const std::vector<TButtonToggle>& ButtonToggles() {
    static const std::vector<TButtonToggle> toggles{
        {cmdShowProperties, cmdProperties, toolbar::kShowProperties},
        {cmdShowRotateRight, cmdRotateRight, toolbar::kShowRotateRight},
        {cmdShowRotateLeft, cmdRotateLeft, toolbar::kShowRotateLeft},
        {cmdShowRotateUp, cmdRotateUp, toolbar::kShowRotateUp},
        {cmdShowSnapRatio, cmdSnapRatio, toolbar::kShowSnapRatio},
        {cmdShowInvertRatio, cmdInvertRatio, toolbar::kShowInvertRatio},
        {cmdShowMaxSize, cmdMaxSize, toolbar::kShowMaxSize},
        {cmdShowEnlargement, cmdEnlargement, toolbar::kShowEnlargement},
        {cmdShowPrevImage, cmdPrevImage, toolbar::kShowPrevImage},
        {cmdShowNextImage, cmdNextImage, toolbar::kShowNextImage},
        {cmdShowCopy, cmdCopy, toolbar::kShowCopy},
        {cmdShowHelp, cmdHelp, toolbar::kShowHelp},
    };
    return toggles;
}

// The main window's rules that need no window: how quarter turns add up,
// what the tree shows for a folder, the copy's file name, which commands are
// available and checked, and the status texts.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

// Rotation codes: -1 none, 0 right 90, 1 180, 2 left 90. Turning a picture
// already turned by `oldCode` by `addedCode` (0, 1 or 2) gives the code of
// the whole turn.
int32_t CombineRotation(int32_t oldCode, int32_t addedCode);

// The text of the tree's folder entry: what follows the folder path's last
// backslash or colon ("C:" gives "").
std::string FolderEntryText(const std::string& folder);
// The extension of a file name from its last dot, dot included ("" when none).
std::string ExtensionOf(const std::string& name);
// The copy's file name: the extension (from the last dot) replaced by ".jpg".
std::string CopyFileName(const std::string& name);

// What the commands' states depend on.
struct TCommandSnapshot {
    bool bHasImages = false; // the tree lists images
    bool bPicture = false;   // the view shows a picture
    bool bSizes = false;     // maximum width and height both set
    bool bAutoAdvance = false;
    bool bSnapRatio = false;
    bool bMaxSize = false;
    bool bMaxSizeActive = false; // sizes and maximum size on
    bool bEnlargement = false;
    bool bPrevRect = false;
};

struct TCommandStates {
    bool bNextPrevEnabled;  // next and previous image
    bool bPictureEnabled;   // the rotations and copy
    bool bSizeRulesEnabled; // snap ratio, invert ratio, maximum size, enlargement
    bool bAutoAdvanceChecked;
    bool bSnapRatioChecked;
    bool bMaxSizeChecked;
    bool bEnlargementChecked;
    bool bPrevRectChecked;
};
TCommandStates DeriveCommandStates(const TCommandSnapshot& s);

// The terms of the ratio of a maximum width and height in lowest terms
// ((0, 0) when the width is not positive).
std::pair<int32_t, int32_t> ReducedRatio(int32_t nMaxWidth, int32_t nMaxHeight);

// Status bar texts.
std::string CropText(int32_t left, int32_t top, int32_t right, int32_t bottom);
std::string RatioText(int32_t nMaxWidth, int32_t nMaxHeight);
// `shown` is the pair the maximum panel shows; `set` decides between a size
// and "?".
std::string MaximumText(bool set, int32_t shownWidth, int32_t shownHeight);
std::string SourceText(int32_t width, int32_t height);
std::string CopyText(int32_t width, int32_t height);
// " " and the long part of a hint (after its bar, or all of it).
std::string HintText(const std::string& hint);

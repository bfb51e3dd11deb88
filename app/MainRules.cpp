#include "app/MainRules.h"

#include "ui/Command.h"

#include <cstdio>
#include <numeric>

int32_t CombineRotation(int32_t oldCode, int32_t addedCode) {
    // Count quarter turns clockwise: none 0, right 1, half 2, left 3.
    const auto quarters = [](int32_t code) { return code < 0 ? 0 : code + 1; };
    const int32_t total = (quarters(oldCode) + quarters(addedCode)) % 4;
    return total == 0 ? -1 : total - 1;
}

std::string FolderEntryText(const std::string& folder) {
    const size_t cut = folder.find_last_of("\\:");
    return cut == std::string::npos ? folder : folder.substr(cut + 1);
}

std::string ExtensionOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string CopyFileName(const std::string& name) {
    const size_t dot = name.rfind('.');
    return (dot == std::string::npos ? name : name.substr(0, dot)) + ".jpg";
}

TCommandStates DeriveCommandStates(const TCommandSnapshot& s) {
    TCommandStates c{};
    c.bNextPrevEnabled = s.bHasImages;
    c.bPictureEnabled = s.bPicture;
    c.bSizeRulesEnabled = s.bPicture && s.bSizes;
    c.bAutoAdvanceChecked = s.bAutoAdvance;
    c.bSnapRatioChecked = s.bSnapRatio && s.bSizes;
    c.bMaxSizeChecked = s.bMaxSize;
    c.bEnlargementChecked = s.bEnlargement && s.bMaxSizeActive;
    c.bPrevRectChecked = s.bPrevRect;
    return c;
}

std::pair<int32_t, int32_t> ReducedRatio(int32_t W, int32_t H) {
    if (W <= 0)
        return {0, 0};
    // The largest n up to W dividing both is their greatest common divisor
    // (W itself when H is 0).
    const int64_t n = std::gcd(int64_t{W}, H < 0 ? -int64_t{H} : int64_t{H});
    return {static_cast<int32_t>(W / n), static_cast<int32_t>(H / n)};
}

namespace {
template <typename... T> std::string Format(const char* format, T... values) {
    char text[128];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}
} // namespace

std::string CropText(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return Format(" crop: (%d, %d) -> (%d, %d) = (%d x %d)", left, top, right, bottom, right - left,
                  bottom - top);
}

std::string RatioText(int32_t W, int32_t H) {
    if (W > 0 && H > 0) {
        const auto terms = ReducedRatio(W, H);
        return Format(" ratio = %d : %d", terms.first, terms.second);
    }
    return " ratio = ?";
}

std::string MaximumText(bool set, int32_t shownWidth, int32_t shownHeight) {
    return set ? Format(" maximum = %d x %d", shownWidth, shownHeight) : std::string(" maximum = ?");
}

std::string SourceText(int32_t width, int32_t height) {
    return Format(" source = %d x %d", width, height);
}

std::string CopyText(int32_t width, int32_t height) {
    return Format(" copy = %d x %d", width, height);
}

std::string HintText(const std::string& hint) {
    return " " + ui::LongHint(hint);
}

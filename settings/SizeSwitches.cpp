#include "settings/SizeSwitches.h"

#include <limits>

bool IsSizeKey(uint32_t ch) {
    return ch < 32 || (ch >= '0' && ch <= '9');
}

int32_t ParseNumber(const std::string& text) {
    size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        at = 1;
    if (at == text.size())
        return 0;
    // One past the largest magnitude still fits when negative.
    const int64_t limit = int64_t(std::numeric_limits<int32_t>::max()) + (negative ? 1 : 0);
    int64_t value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9')
            return 0;
        value = value * 10 + (text[at] - '0');
        if (value > limit)
            return 0;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

bool operator==(const SizeSwitches& a, const SizeSwitches& b) {
    return a.bSnapRatio == b.bSnapRatio && a.bMaxSize == b.bMaxSize && a.bEnlargement == b.bEnlargement;
}

SizeSwitches CoupleSwitches(SizeSwitches checks, SizeSwitch changed) {
    if (changed == SizeSwitch::MaxSize && !checks.bMaxSize)
        checks.bEnlargement = false;
    if (changed == SizeSwitch::Enlargement && checks.bEnlargement)
        checks.bMaxSize = true;
    return checks;
}

int32_t SaveChecks(const SizeSwitches& checks) {
    return saved_checks::kSaved | (checks.bSnapRatio ? saved_checks::kSnapRatio : 0) |
           (checks.bMaxSize ? saved_checks::kMaxSize : 0) |
           (checks.bEnlargement ? saved_checks::kEnlargement : 0);
}

SizeSwitches RestoreChecks(int32_t savedChecks) {
    SizeSwitches checks;
    checks.bSnapRatio = (savedChecks & saved_checks::kSnapRatio) != 0;
    checks.bMaxSize = (savedChecks & saved_checks::kMaxSize) != 0;
    checks.bEnlargement = (savedChecks & saved_checks::kEnlargement) != 0;
    return checks;
}

SwitchUpdate DecideSwitches(int32_t width, int32_t height, int32_t savedChecks) {
    SwitchUpdate update;
    update.bEnabled = width > 0 && height > 0;
    if (!update.bEnabled)
        update.bSetChecks = true; // all three unchecked
    else if (savedChecks != 0) {
        update.bSetChecks = true;
        update.checks = RestoreChecks(savedChecks);
    }
    return update;
}

// The properties dialog's rules for its two size boxes and the three switches
// that need both sizes (Snap To Ratio, Enforce Maximum Size, Allow
// Enlargement): which keys a size box takes, how its text reads as a number,
// the word that remembers the switches while a size is being edited, what a
// size change does to them, and how the two size switches hold each other.
// Plain rules: no windows.h.
#pragma once

#include <cstdint>
#include <string>

// The most characters a size box holds: 999999 at most can be typed.
constexpr int kSizeTextLimit = 6;

// Whether the size boxes take this typed character: control characters
// (backspace and the like) and the digits 0 to 9; everything else is dropped.
bool IsSizeKey(uint32_t ch);

// A size box's text as a number: an empty text, or one that is not a
// decimal integer in the 32-bit range (pasted letters, say), gives 0.
int32_t ParseNumber(const std::string& text);

// Check states of the three switches that need both sizes.
struct SizeSwitches {
    bool bSnapRatio = false;
    bool bMaxSize = false;
    bool bEnlargement = false;
};
bool operator==(const SizeSwitches& a, const SizeSwitches& b);

enum class SizeSwitch { SnapRatio, MaxSize, Enlargement };

// The switches after `changed` was checked or unchecked: allowing
// enlargement enforces the maximum size, and no longer enforcing it
// disallows enlargement.
SizeSwitches CoupleSwitches(SizeSwitches checks, SizeSwitch changed);

// The saved-checks word: 0 when nothing is saved, otherwise 1 plus the bits
// of the checked switches.
namespace saved_checks {
constexpr int32_t kSaved = 1;
constexpr int32_t kMaxSize = 2;
constexpr int32_t kSnapRatio = 4;
constexpr int32_t kEnlargement = 8;
} // namespace saved_checks
int32_t SaveChecks(const SizeSwitches& checks);
SizeSwitches RestoreChecks(int32_t savedChecks);

// What a size change does to the three switches.
struct SwitchUpdate {
    bool bEnabled = false;   // both sizes above 0
    bool bSetChecks = false; // give the switches `checks`
    SizeSwitches checks;
};
// Without both sizes the switches are unchecked and disabled; with both they
// are enabled, and take back the saved states when a word was saved.
SwitchUpdate DecideSwitches(int32_t width, int32_t height, int32_t savedChecks);

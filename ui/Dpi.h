// Sizes for a screen scale: the layout is designed at 96 dots per inch, and
// a window on a screen of another scale takes every size it gives in pixels
// through these rules, so it shows the same layout at the same physical
// size, sharp, without Windows stretching it.
#pragma once

#include "ui/Align.h"

#include <cstdint>
#include <vector>

namespace ui {

constexpr int kDesignDpi = 96;

// `value` designed at 96 DPI for a window at `dpi`: value * dpi / 96, rounded
// to the nearest pixel with halves away from zero. A dpi of 0 or less (a
// system that could not say) counts as 96.
int ScaleForDpi(int value, int dpi);
// A size in pixels at `fromDpi` taken to `toDpi`, the same rounding (a
// window moved to a screen of another scale keeps its proportions).
int RescaleForDpi(int value, int fromDpi, int toDpi);
TMargins ScaleForDpi(const TMargins& margins, int dpi);
// Width, height and margins of an alignment.
TAlignSpec ScaleForDpi(const TAlignSpec& spec, int dpi);

// A strip of square glyphs (top-down 0x00RRGGBB pixels, `glyph` pixels a
// side, `mask` standing for transparent) drawn `scaledGlyph` pixels a side.
// Each new pixel averages the opaque source pixels it covers, weighted by
// area, and is opaque when they cover at least half of it; the rest is
// `mask`. At whole factors that is each pixel repeated; at 1.5 the outline
// stays one solid line. Pixels are returned top-down, glyph after glyph.
std::vector<uint32_t> ScaleGlyphStrip(const std::vector<uint32_t>& pixels, int glyph, int count,
                                      int scaledGlyph, uint32_t mask);

} // namespace ui

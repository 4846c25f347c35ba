// SPDX-License-Identifier: MIT
#pragma once

#include "display_bitmap.h"
#include "glyph.h"

namespace kestrin {

// The glyph's dark pixels made dark, with the pen at penX on the baseline;
// its clear pixels leave what is there. Clipped at the display's edge.
void drawGlyph(DisplayBitmap &bitmap, int penX, int baseline, const Glyph &glyph);

// A big digit (0..9, or kBigColon) with its top-left at (x, y). Every pixel
// of its box is written, clear ones too, so a clock redraws in place.
// Clipped at the display's edge; throws std::out_of_range for another digit.
void drawBigDigit(DisplayBitmap &bitmap, int x, int y, int digit);

} // namespace kestrin

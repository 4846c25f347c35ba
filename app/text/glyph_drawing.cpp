// SPDX-License-Identifier: MIT
#include "glyph_drawing.h"

#include "big_digits.h"

namespace kestrin {

void drawGlyph(DisplayBitmap &bitmap, int penX, int baseline, const Glyph &glyph)
{
    const int left = penX + glyph.left;
    const int top = baseline - glyph.top;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (glyph.dark(x, y))
                bitmap.set(left + x, top + y, true);
        }
    }
}

void drawBigDigit(DisplayBitmap &bitmap, int x, int y, int digit)
{
    const BigGlyph &big = bigDigit(digit);
    for (int row = 0; row < kBigDigitHeight; ++row) {
        for (int column = 0; column < big.width; ++column)
            bitmap.set(x + column, y + row, big.dark(column, row));
    }
}

} // namespace kestrin

// SPDX-License-Identifier: MIT
#include "builtin_font.h"

#include "builtin_cells.h"

namespace kestrin {

namespace {

constexpr int kAscent = 7;

} // namespace

int BuiltinFont::ascent() const
{
    return kAscent;
}

int BuiltinFont::lineHeight() const
{
    return kCellHeight;
}

std::optional<Glyph> BuiltinFont::glyph(char32_t character) const
{
    const CellGlyph *cell = builtinCell(character);
    if (cell == nullptr)
        return std::nullopt;
    Glyph glyph{kCellWidth, kCellHeight, 0, kAscent, kCellWidth, {}};
    glyph.pixels.reserve(kCellWidth * kCellHeight);
    for (const std::uint8_t row : *cell) {
        // Bit 4 is cell column 1, bit 0 column 5; column 0 stays blank.
        glyph.pixels.push_back(0);
        for (int bit = kCellWidth - 2; bit >= 0; --bit)
            glyph.pixels.push_back((row >> bit) & 1u);
    }
    return glyph;
}

Glyph BuiltinFont::replacementGlyph() const
{
    return outlineBox(1, kAscent, kCellWidth - 1, kAscent, kCellWidth);
}

} // namespace kestrin

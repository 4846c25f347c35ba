// SPDX-License-Identifier: MIT
#include "builtin_font.h"

#include "builtin_cells.h"

namespace kestrin {

namespace {

constexpr int kAscent = kCellHeight;

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
    for (int y = 0; y < kCellHeight; ++y) {
        for (int x = 0; x < kCellWidth; ++x)
            glyph.pixels.push_back(cellPixel(*cell, x, y) ? 1 : 0);
    }
    return glyph;
}

Glyph BuiltinFont::replacementGlyph() const
{
    return outlineBox(1, kAscent - 1, kCellWidth - 1, kCellHeight - 1, kCellWidth);
}

} // namespace kestrin

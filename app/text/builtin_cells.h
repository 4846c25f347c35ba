// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

namespace kestrin {

// The built-in font's cell: 6 x 8 pixels, so that 20 columns by 4 rows of
// cells fill 120 x 32 of the display. Cell (column c, row r), counted from
// 1, starts at display pixel ((c - 1) * 6, (r - 1) * 8).
inline constexpr int kCellWidth = 6;
inline constexpr int kCellHeight = 8;
inline constexpr int kCellColumns = 20;
inline constexpr int kCellRows = 4;

// One glyph, rows top first. In each row bit 4 is cell column 1 and bit 0
// cell column 5; cell column 0 stays blank in every glyph, so characters side
// by side keep a pixel apart. Row 0 is blank where the design allows.
using CellGlyph = std::array<std::uint8_t, kCellHeight>;

// Whether cell pixel (x, y) of a glyph is dark: x 0..5 (0 always clear),
// y 0..7.
[[nodiscard]] constexpr bool cellPixel(const CellGlyph &glyph, int x, int y)
{
    return x >= 1 && x < kCellWidth && y >= 0 && y < kCellHeight
           && (glyph[static_cast<std::size_t>(y)] >> (kCellWidth - 1 - x) & 1U) != 0;
}

// The glyph of a character: printable ASCII (0x20..0x7E), ISO-8859-1
// (0xA0..0xFF) and the icon characters of lcd_icon.h; nullptr for any other.
[[nodiscard]] const CellGlyph *builtinCell(char32_t character);

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

namespace kestrin {

// One character's pixels as a font draws it, placed relative to the pen:
// the bitmap's left column is `left` pixels right of the pen, its top row
// `top` pixels above the baseline, and the pen then moves `advance` pixels.
struct Glyph
{
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    int advance = 0;
    std::vector<std::uint8_t> pixels; // width * height, row by row; 1 is dark

    [[nodiscard]] bool dark(int x, int y) const
    {
        return x >= 0 && x < width && y >= 0 && y < height
               && pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] != 0;
    }
};

// A rectangle's outline, width x height, placed as a glyph is; what text
// draws for a character its font lacks.
[[nodiscard]] Glyph outlineBox(int left, int top, int width, int height, int advance);

} // namespace kestrin

// SPDX-License-Identifier: MIT
#include "glyph.h"

namespace kestrin {

Glyph outlineBox(int left, int top, int width, int height, int advance)
{
    Glyph box{width, height, left, top, advance, {}};
    box.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            box.pixels[static_cast<std::size_t>(y * width + x)] = edge ? 1 : 0;
        }
    }
    return box;
}

} // namespace kestrin

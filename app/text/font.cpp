// SPDX-License-Identifier: MIT
#include "font.h"

#include <algorithm>

namespace kestrin {

namespace {

// Smaller than this a box would no longer show as an outline.
constexpr int kSmallestBox = 3;

} // namespace

Glyph Font::replacementGlyph() const
{
    const std::optional<Glyph> zero = glyph(U'0');
    if (zero && zero->width >= kSmallestBox && zero->height >= kSmallestBox)
        return outlineBox(zero->left, zero->top, zero->width, zero->height, zero->advance);
    const int width = std::max(kSmallestBox, lineHeight() / 2 - 1);
    return outlineBox(1, ascent(), width, std::max(kSmallestBox, ascent()), width + 2);
}

} // namespace kestrin

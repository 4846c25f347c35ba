// SPDX-License-Identifier: MIT
#pragma once

#include "font.h"

namespace kestrin {

// The built-in 6 x 8 cells as a font: every glyph is one whole cell (advance
// 6, its top row on the line's top), so text drawn at the display's top-left
// puts cell (column c, row r), counted from 1, at ((c - 1) * 6, (r - 1) * 8).
// The baseline lies under the cell's seventh row; the eighth is for
// descenders.
class BuiltinFont : public Font
{
public:
    [[nodiscard]] int ascent() const override;
    [[nodiscard]] int lineHeight() const override;
    [[nodiscard]] std::optional<Glyph> glyph(char32_t character) const override;
    // A 5 x 7 outline in cell columns 1..5 and rows 0..6, where the capitals
    // stand.
    [[nodiscard]] Glyph replacementGlyph() const override;
};

} // namespace kestrin

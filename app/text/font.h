// SPDX-License-Identifier: MIT
#pragma once

#include "glyph.h"

#include <optional>

namespace kestrin {

// A font drawn pixel for pixel: the built-in one, a bitmap font file at its
// own size, or an outline font at a pixel size without anti-aliasing.
class Font
{
public:
    virtual ~Font() = default;

    // Pixels from the top of a line to its baseline.
    [[nodiscard]] virtual int ascent() const = 0;
    // Pixels from one line's top to the next one's.
    [[nodiscard]] virtual int lineHeight() const = 0;
    // The character's glyph, or nullopt when the font lacks it.
    [[nodiscard]] virtual std::optional<Glyph> glyph(char32_t character) const = 0;
    // What is drawn for a character the font lacks: an outline box of the
    // size of the font's digit zero, or, without one, half a line wide and
    // as tall as the ascent.
    [[nodiscard]] virtual Glyph replacementGlyph() const;
};

} // namespace kestrin

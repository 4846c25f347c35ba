// SPDX-License-Identifier: MIT
#pragma once

#include "display_bitmap.h"
#include "font.h"

#include <cstdint>
#include <string_view>

namespace kestrin {

enum class HorizontalAlignment : std::uint8_t { Left, Center, Right };
enum class VerticalAlignment : std::uint8_t { Top, Middle, Bottom };

// Where the block of lines goes on the display. Each line is aligned on its
// own; the block's height is its number of lines times the font's line
// height. Centring rounds left and up.
struct TextLayout
{
    HorizontalAlignment horizontal = HorizontalAlignment::Left;
    VerticalAlignment vertical = VerticalAlignment::Top;
    bool invert = false; // swaps dark and clear of the whole display
};

// UTF-8 text (ill-formed parts drawn as U+FFFD) on a clear display. Lines
// end at '\n'; a final '\n' ends the last line without starting another.
// Nothing wraps: what passes the display's edge is cut off there, a glyph
// partly. How characters draw is drawText's.
[[nodiscard]] DisplayBitmap renderText(std::string_view utf8, const Font &font, const TextLayout &layout = {});

// One line with its top at lineTop and the pen starting at x; returns where
// the pen ends. A character the font lacks draws the font's replacement box.
// A tab moves the pen to the next stop, every four spaces from x; every
// other control character (U+0000..U+001F, U+007F..U+009F, so also the '\r'
// of a CRLF line end) draws nothing and takes no room.
int drawText(DisplayBitmap &bitmap, int x, int lineTop, std::u32string_view text, const Font &font);

// How far drawText() moves the pen over text.
[[nodiscard]] int textWidth(std::u32string_view text, const Font &font);

} // namespace kestrin

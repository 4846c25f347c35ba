// SPDX-License-Identifier: MIT
#pragma once

#include "display_bitmap.h"
#include "screen.h"

#include <cstdint>

namespace kestrin {

// Draws a screen as it stands at `tick` (ticks of 1/8 s since the server
// started; titles, scrollers, frames and the heartbeat move with it) onto a
// clear bitmap, on the built-in font's 20 x 4 cells of 6 x 8 pixels.
//
// Characters are the built-in cells, a box where the font has none. A title
// is two blocks, a blank, the text, a blank, and blocks to the end of the
// row; a longer one shows 14 characters at a time, moving one a tick from
// end to end and resting 15 ticks at each end. Bars are exact in pixels:
// hbar fills pixel rows 1..6 of its row from the left edge of its cell, vbar
// pixel columns 1..5 of its column up from the bottom of its cell. Big
// digits stand 24 pixels high in the middle of the 32 rows. The heartbeat,
// unless the screen turns it off, is a filled heart in cell (20, 1) that
// opens twice a second, on ticks 7 and 1 of every 8.
[[nodiscard]] DisplayBitmap renderScreen(const Screen &screen, std::int64_t tick);

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include <pixels/pixels_export.h>

#include <QColor>
#include <QtGlobal>

namespace pixels {

// The colour values of an AchtBits cell, clear and set, for a host that draws
// the same pixels elsewhere (a preview) and wants them to look the same.
inline constexpr quint32 ClearCellColour = 0xC0FFC0;   // light green
inline constexpr quint32 SetCellColour = 0x80000006;   // the theme's window-frame colour

// Decodes a colour value as the window system stores it. A plain colour is
// 0x00BBGGRR; a value with the high bit set names a colour of the desktop
// theme by the index in its low byte (6 is the window-frame colour). Throws
// std::out_of_range for a theme colour index it does not know.
[[nodiscard]] PIXELS_EXPORT QColor colourFromValue(quint32 value);

} // namespace pixels

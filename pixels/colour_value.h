// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QtGlobal>

namespace pixels {

// Decodes a colour value as the window system stores it. A plain colour is
// 0x00BBGGRR; a value with the high bit set names a colour of the desktop
// theme by the index in its low byte (6 is the window-frame colour). Throws
// std::out_of_range for a theme colour index it does not know.
[[nodiscard]] QColor colourFromValue(quint32 value);

} // namespace pixels

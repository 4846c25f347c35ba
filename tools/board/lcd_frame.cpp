// SPDX-License-Identifier: MIT
#include "lcd_frame.h"

#include <QPainter>

namespace board {

namespace {

constexpr int kBorderPixels = 3; // panel around the dots, in display pixels

} // namespace

void LcdFrame::place(const PagePlace &where, const Page &page)
{
    for (std::size_t column = 0; column < page.size(); ++column) {
        for (int bit = 0; bit < kPageRows; ++bit)
            set(where.left + static_cast<int>(column), where.top + bit, (page[column] >> bit) & 1U);
    }
}

void LcdFrame::set(int x, int y, bool dark)
{
    m_rows[static_cast<std::size_t>(y)].set(static_cast<std::size_t>(x), dark);
}

bool LcdFrame::dark(int x, int y) const
{
    return m_rows[static_cast<std::size_t>(y)].test(static_cast<std::size_t>(x));
}

std::string LcdFrame::toAscii() const
{
    std::string text;
    for (int y = 0; y < kLcdHeight; ++y) {
        for (int x = 0; x < kLcdWidth; ++x)
            text += dark(x, y) ? '#' : '.';
        text += '\n';
    }
    return text;
}

QImage LcdFrame::toImage(int scale) const
{
    const int border = kBorderPixels * scale;
    QImage image(kLcdWidth * scale + 2 * border, kLcdHeight * scale + 2 * border, QImage::Format_RGB32);
    image.fill(kPanelColour);
    QPainter painter(&image);
    // A one-pixel seam between the dots, as on the glass, once they are big enough.
    const int dot = scale > 2 ? scale - 1 : scale;
    for (int y = 0; y < kLcdHeight; ++y) {
        for (int x = 0; x < kLcdWidth; ++x)
            painter.fillRect(border + x * scale, border + y * scale, dot, dot,
                             QColor(dark(x, y) ? kDarkDotColour : kClearDotColour));
    }
    return image;
}

} // namespace board

// SPDX-License-Identifier: MIT
#include "display_bitmap.h"

namespace kestrin {

namespace {

bool inside(int x, int y)
{
    return x >= 0 && x < DisplayBitmap::kWidth && y >= 0 && y < DisplayBitmap::kHeight;
}

} // namespace

bool DisplayBitmap::dark(int x, int y) const
{
    return inside(x, y) && m_rows[static_cast<std::size_t>(y)].test(static_cast<std::size_t>(x));
}

void DisplayBitmap::set(int x, int y, bool dark)
{
    if (inside(x, y))
        m_rows[static_cast<std::size_t>(y)].set(static_cast<std::size_t>(x), dark);
}

void DisplayBitmap::fill(bool dark)
{
    for (auto &row : m_rows) {
        if (dark)
            row.set();
        else
            row.reset();
    }
}

void DisplayBitmap::invert()
{
    for (auto &row : m_rows)
        row.flip();
}

void DisplayBitmap::placeRows(FrameBuffer &frame, int firstRow, int rows) const
{
    for (int y = firstRow; y < firstRow + rows; ++y) {
        for (int x = 0; x < kWidth; ++x)
            setDark(frame, {x, y}, dark(x, y));
    }
}

FrameBuffer DisplayBitmap::toFrame() const
{
    FrameBuffer frame;
    placeRows(frame, 0, kHeight);
    return frame;
}

DisplayBitmap DisplayBitmap::fromFrame(const FrameBuffer &frame)
{
    DisplayBitmap bitmap;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x)
            bitmap.set(x, y, isDark(frame, {x, y}));
    }
    return bitmap;
}

} // namespace kestrin

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

// Page by page: each byte is composed from its eight rows at once, and only
// the bits of the rows asked for change.
void DisplayBitmap::placeRows(FrameBuffer &frame, int firstRow, int rows) const
{
    for (int page = 0; page < kPageCount; ++page) {
        const DisplayPixel origin = pixelAt(page, 0, 0);
        unsigned mask = 0;
        for (int bit = 0; bit < kPageRows; ++bit) {
            if (origin.y + bit >= firstRow && origin.y + bit < firstRow + rows)
                mask |= 1U << bit;
        }
        if (mask == 0)
            continue;
        for (int column = 0; column < kPageColumns; ++column) {
            unsigned byte = 0;
            for (int bit = 0; bit < kPageRows; ++bit)
                byte |= static_cast<unsigned>(dark(origin.x + column, origin.y + bit)) << bit;
            const unsigned old = frame.read(page, column);
            frame.write(page, column, static_cast<std::uint8_t>((old & ~mask) | (byte & mask)));
        }
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

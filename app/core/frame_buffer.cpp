// SPDX-License-Identifier: MIT
#include "frame_buffer.h"

#include "run_time_error.h"

#include <string>

namespace kestrin {

void FrameBuffer::checkBounds(int page, int column)
{
    if (page < 0 || page >= kDeclaredPages || column < 0 || column >= kDeclaredColumns)
        throw SubscriptError("frame buffer subscript (" + std::to_string(page) + ", "
                             + std::to_string(column) + ") is outside (0..8, 0..61)");
}

std::uint8_t FrameBuffer::read(int page, int column) const
{
    checkBounds(page, column);
    return m_bytes[static_cast<std::size_t>(page)][static_cast<std::size_t>(column)];
}

void FrameBuffer::write(int page, int column, std::uint8_t value)
{
    checkBounds(page, column);
    m_bytes[static_cast<std::size_t>(page)][static_cast<std::size_t>(column)] = value;
}

bool isDark(const FrameBuffer &buffer, DisplayPixel pixel)
{
    const PixelPlace place = placeOfPixel(pixel);
    return (buffer.read(place.page, place.column) >> place.bit & 1U) != 0;
}

void setDark(FrameBuffer &buffer, DisplayPixel pixel, bool dark)
{
    const PixelPlace place = placeOfPixel(pixel);
    const unsigned mask = 1U << place.bit;
    const unsigned byte = buffer.read(place.page, place.column);
    buffer.write(place.page, place.column, static_cast<std::uint8_t>(dark ? byte | mask : byte & ~mask));
}

} // namespace kestrin

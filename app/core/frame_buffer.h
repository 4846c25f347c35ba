// SPDX-License-Identifier: MIT
#pragma once

#include "page_geometry.h"

#include <array>
#include <cstdint>

namespace kestrin {

// The one copy of the display image: eight pages of 61 bytes, bit 0 of a byte
// at the top of its page, a set bit dark. The array has one spare page and one
// spare column (pages 0..8, columns 0..61); request 8 reads page 0 and nothing
// ever writes the spare row or column, but both are readable.
class FrameBuffer
{
public:
    static constexpr int kDeclaredPages = kPageCount + 1;
    static constexpr int kDeclaredColumns = kPageColumns + 1;

    // Throw SubscriptError outside pages 0..8 and columns 0..61.
    [[nodiscard]] std::uint8_t read(int page, int column) const;
    void write(int page, int column, std::uint8_t value);

    friend bool operator==(const FrameBuffer &, const FrameBuffer &) = default;

private:
    static void checkBounds(int page, int column);

    std::array<std::array<std::uint8_t, kDeclaredColumns>, kDeclaredPages> m_bytes{};
};

// One display pixel of the buffer, placed by the page geometry; dark is a set bit.
[[nodiscard]] bool isDark(const FrameBuffer &buffer, DisplayPixel pixel);
void setDark(FrameBuffer &buffer, DisplayPixel pixel, bool dark);

} // namespace kestrin

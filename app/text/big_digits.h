// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

namespace kestrin {

// Big digits for a clock: 0..9 and a colon, 24 pixels high. A digit is
// 18 pixels (three cells) wide, the colon 6 (one cell); each keeps its
// leftmost column blank, as the cells do.
inline constexpr int kBigDigitHeight = 24;
inline constexpr int kBigDigitWidth = 18;
inline constexpr int kBigColonWidth = 6;
inline constexpr int kBigColon = 10;

struct BigGlyph
{
    int width = 0;
    // Rows top first; bit (width - 1 - x) of a row is pixel x of that row.
    std::array<std::uint32_t, kBigDigitHeight> rows{};

    [[nodiscard]] constexpr bool dark(int x, int y) const
    {
        return x >= 0 && x < width && y >= 0 && y < kBigDigitHeight
               && (rows[static_cast<std::size_t>(y)] >> (width - 1 - x) & 1U) != 0;
    }
};

// digit 0..9, or kBigColon; throws std::out_of_range for any other.
[[nodiscard]] const BigGlyph &bigDigit(int digit);

} // namespace kestrin

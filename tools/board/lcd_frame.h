// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

namespace board {

inline constexpr int kLcdWidth = 122;
inline constexpr int kLcdHeight = 32;
inline constexpr std::size_t kPageOctets = 61;
inline constexpr int kPageRows = 8;

using Page = std::array<std::uint8_t, kPageOctets>;

// Where the page a request answers goes on the display.
struct PagePlace
{
    int request;
    int top;
    int left;
};

// The board's requests in display order: rows 0..7 left and right, then
// rows 8..15, 16..23 and 24..31.
inline constexpr std::array<PagePlace, 8> kDisplayOrder{{
    {1, 0, 0}, {5, 0, 61},
    {2, 8, 0}, {6, 8, 61},
    {7, 16, 0}, {3, 16, 61},
    {0, 24, 0}, {4, 24, 61},
}};

// The colours of LcdFrame::toImage: the panel around and between the dots,
// a clear dot and a dark dot.
inline constexpr QRgb kPanelColour = qRgb(0xB4, 0xC8, 0x8C);
inline constexpr QRgb kClearDotColour = qRgb(0xA8, 0xBC, 0x82);
inline constexpr QRgb kDarkDotColour = qRgb(0x1E, 0x28, 0x1E);

// The 122 x 32 picture the board puts on its LCD.
class LcdFrame
{
public:
    // Octet i of the page is column left + i; its bit k is row top + k.
    void place(const PagePlace &where, const Page &page);
    void set(int x, int y, bool dark);
    [[nodiscard]] bool dark(int x, int y) const;
    friend bool operator==(const LcdFrame &, const LcdFrame &) = default;

    // 32 lines of 122 characters, '#' dark and '.' light.
    [[nodiscard]] std::string toAscii() const;
    // Dark pixels on a light-green panel, each pixel scale x scale, with a
    // border of three pixels.
    [[nodiscard]] QImage toImage(int scale) const;

private:
    std::array<std::bitset<kLcdWidth>, kLcdHeight> m_rows{};
};

} // namespace board

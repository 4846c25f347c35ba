// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"
#include "page_geometry.h"

#include <array>
#include <bitset>

namespace kestrin {

// The display's 122 x 32 pixels, each dark or clear. The user's images, text,
// animation frames and LCDproc screens all end as one, and it becomes a frame
// exactly, pixel for pixel. Drawing outside the display is clipped.
class DisplayBitmap
{
public:
    static constexpr int kWidth = kDisplayWidth;
    static constexpr int kHeight = kDisplayHeight;

    // False outside the display.
    [[nodiscard]] bool dark(int x, int y) const;
    // Ignored outside the display.
    void set(int x, int y, bool dark);
    void fill(bool dark);
    void invert();

    // Rows firstRow .. firstRow + rows - 1 of this bitmap written into the
    // same rows of frame; every other pixel of frame stays.
    void placeRows(FrameBuffer &frame, int firstRow, int rows) const;
    [[nodiscard]] FrameBuffer toFrame() const;
    [[nodiscard]] static DisplayBitmap fromFrame(const FrameBuffer &frame);

    friend bool operator==(const DisplayBitmap &, const DisplayBitmap &) = default;

private:
    std::array<std::bitset<kWidth>, kHeight> m_rows{};
};

} // namespace kestrin

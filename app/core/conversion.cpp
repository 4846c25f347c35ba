// SPDX-License-Identifier: MIT
#include "conversion.h"

namespace kestrin {

namespace {

constexpr int kScale = 3;
constexpr int kVotesToSet = 4;

std::uint8_t convertByte(const PointQuery &picture, int page, int column)
{
    const int x = kScale * (kColumnOffsets[page] + column);
    int byte = 0;
    for (int bit = 0; bit < kPageRows; ++bit) {
        const int y = kScale * (kRowOffsets[page] + bit);
        if (blockTest(picture, x, y))
            byte |= 1 << bit;
    }
    return static_cast<std::uint8_t>(byte);
}

} // namespace

bool blockTest(const PointQuery &picture, int x, int y)
{
    if (x <= 0 || y <= 0)
        return false;
    int black = 0;
    for (int row = y - 1; row <= y + 1; ++row) {
        for (int col = x - 1; col <= x + 1; ++col) {
            if (picture.colourAt(static_cast<float>(col), static_cast<float>(row)) == 0)
                ++black;
        }
    }
    return black >= kVotesToSet;
}

void convertAll(const PointQuery &upper, const PointQuery &lower, FrameBuffer &buffer)
{
    for (int page = 0; page < kPageCount; ++page) {
        const PointQuery &picture = pageFields(page).picture == 0 ? upper : lower;
        for (int column = 0; column < kPageColumns; ++column)
            buffer.write(page, column, convertByte(picture, page, column));
    }
}

void convertHalves(HalfSource upper, HalfSource lower, FrameBuffer &buffer)
{
    convertAll(upper.picture, lower.picture, buffer);
    if (upper.exact != nullptr)
        upper.exact->placeRows(buffer, 0, kHalfRows);
    if (lower.exact != nullptr)
        lower.exact->placeRows(buffer, kHalfRows, kHalfRows);
}

} // namespace kestrin

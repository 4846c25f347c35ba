// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace kestrin {

// A picture as conversion sees it: the colour at a point in the picture's own
// pixel units, (0, 0) top left. Black is exactly 0; a point outside the picture
// must answer something other than 0. Only the comparison with 0 matters.
class PointQuery
{
public:
    virtual ~PointQuery() = default;
    [[nodiscard]] virtual std::uint32_t colourAt(float x, float y) const = 0;
};

// The answer for points outside a picture: white.
inline constexpr std::uint32_t kOutsideColour = 0xFFFFFF;

} // namespace kestrin

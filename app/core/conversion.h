// SPDX-License-Identifier: MIT
#pragma once

#include "display_bitmap.h"
#include "frame_buffer.h"
#include "point_query.h"

namespace kestrin {

// The 3 x 3 vote around (x, y): true when at least 4 of the 9 points are black.
// Centres with x <= 0 or y <= 0 read nothing and are false.
[[nodiscard]] bool blockTest(const PointQuery &picture, int x, int y);

// Rewrites all 488 page bytes: pages 0..3 from the upper picture, 4..7 from
// the lower one, each display pixel voted from the source pixels around
// (3X, 3Y). A failing point query ends the run; pages already written stay.
void convertAll(const PointQuery &upper, const PointQuery &lower, FrameBuffer &buffer);

// One half of the display to convert: its picture, and for the user's own
// images and text the display pixels the picture was prepared from (at
// their place on the display), which the half then becomes exactly, every
// pixel of it. Without them the picture is voted over.
struct HalfSource
{
    const PointQuery &picture;
    const DisplayBitmap *exact = nullptr;
};

inline constexpr int kHalfRows = kDisplayHeight / 2;

// convertAll, then each half with exact pixels takes them.
void convertHalves(HalfSource upper, HalfSource lower, FrameBuffer &buffer);

} // namespace kestrin

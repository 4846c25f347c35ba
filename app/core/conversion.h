// SPDX-License-Identifier: MIT
#pragma once

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

} // namespace kestrin

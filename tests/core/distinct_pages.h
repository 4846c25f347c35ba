// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"

namespace kestrin::testing {

// Page p, column c holds p * 61 + c (mod 256): every page differs, so a page
// in the wrong place shows, and in pages 0..3 every octet names its column.
inline FrameBuffer distinctPages()
{
    FrameBuffer buffer;
    for (int page = 0; page < kPageCount; ++page) {
        for (int column = 0; column < kPageColumns; ++column)
            buffer.write(page, column, static_cast<std::uint8_t>(page * kPageColumns + column));
    }
    return buffer;
}

} // namespace kestrin::testing

// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"

namespace kestrin::test {

// The eight pages the shipped pictures convert to, from tests/data/reference_pages.hex
// (one line per page, 61 hex bytes). Fails the calling test if the file is unreadable.
[[nodiscard]] FrameBuffer referencePages();

} // namespace kestrin::test

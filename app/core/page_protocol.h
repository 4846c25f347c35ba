// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"

#include <array>
#include <cstdint>

namespace kestrin {

// Where the page sender writes: one raw octet per call. A failing write
// throws RunTimeError; the octets already written stay written.
class BytePort
{
public:
    virtual ~BytePort() = default;
    virtual void writeOctet(std::uint8_t octet) = 0;
};

// Request number 0..8 -> frame-buffer page.
inline constexpr std::array<int, 9> kRequestMap{5, 0, 1, 6, 7, 2, 3, 4, 0};
inline constexpr int kStartPage = 4;

// Throws SubscriptError for a request outside 0..8.
[[nodiscard]] int pageForRequest(std::int32_t request);

// Writes the 61 bytes of page 4 without yielding and without the request map.
void sendStartPage(const FrameBuffer &buffer, BytePort &port);

} // namespace kestrin

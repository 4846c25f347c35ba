// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"
#include "run_time_error.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The frame file formats that need no image codec. Each encoder writes the
// whole frame; each decoder reads one back or throws FrameFormatError with a
// one-line reason (without the file's name, which the caller knows).
namespace kestrin {

class FrameFormatError : public RunTimeError
{
public:
    using RunTimeError::RunTimeError;
};

inline constexpr int kFrameOctets = kPageCount * kPageColumns; // 488

// .bin: pages 0..7 in order, each 61 columns left to right, exactly the
// octets the board receives for each page.
[[nodiscard]] std::string toBinary(const FrameBuffer &frame);
[[nodiscard]] FrameBuffer fromBinary(std::string_view octets);

// .txt: 32 lines of 122 characters, '#' dark and '.' clear, each ending in
// '\n'. Reading also takes "\r\n", a last line without an end, and a UTF-8
// byte-order mark in front.
[[nodiscard]] std::string toText(const FrameBuffer &frame);
[[nodiscard]] FrameBuffer fromText(std::string_view text);

// .h: a C header for firmware, with the array named after fileName (the name
// of the file it is written to, folders and extension allowed).
[[nodiscard]] std::string toCHeader(const FrameBuffer &frame, std::string_view fileName);

// An animation's frames as a C header: NAME[N][8][61], each frame as the
// frame's NAME[8][61] above, and NAME_delays[N] in milliseconds.
[[nodiscard]] std::string toAnimationHeader(const std::vector<FrameBuffer> &frames,
                                            const std::vector<std::uint32_t> &delays, std::string_view fileName);

// fileName's base name as a C identifier: letters, digits and single
// underscores, never a leading digit, an underscore or a C keyword.
[[nodiscard]] std::string cIdentifier(std::string_view fileName);

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace kestrin {

enum class StopBits { One, OneAndHalf, Two };

// A serial line's settings as the control's settings text gives them,
// "baud,parity,data bits,stop bits", for example "115200,N,8,1".
struct LineSettings
{
    int baud = 9600;
    char parity = 'N'; // N, E, O, M or S
    int dataBits = 8;  // 5..8
    StopBits stopBits = StopBits::One;

    friend bool operator==(const LineSettings &, const LineSettings &) = default;
};

// Throws RunTimeError for text that is not four well-formed fields.
[[nodiscard]] LineSettings parseLineSettings(std::string_view text);

} // namespace kestrin

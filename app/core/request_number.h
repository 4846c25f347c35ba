// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrin {

// Reads a reception from the board as a signed 32-bit number.
// Accepted: optional blanks (space, tab, CR, LF) around an optional sign and
// decimal digits with an optional fractional part ("3", " 3 ", "+7", "2.5",
// ".5", "4."). A fraction rounds to the nearest integer, halves to even.
// Anything else, empty text, and values outside the 32-bit range give nullopt.
[[nodiscard]] std::optional<std::int32_t> parseRequestNumber(std::string_view text);

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

namespace kestrin {

// Numbers as the protocol reads them. Values saturate at +-kNumberLimit, so
// no client number overflows.
inline constexpr int kNumberLimit = 1'000'000;

// An optional sign, then the leading digits; whatever follows is ignored,
// and no digits at all read as 0 ("12x" is 12, "x" is 0).
[[nodiscard]] int leadingNumber(std::string_view text);

// A coordinate or count: the text must start with a digit, then reads as
// leadingNumber() ("3", "3x"); nullopt otherwise ("", "x", "-3").
[[nodiscard]] std::optional<int> startingWithDigit(std::string_view text);

// The whole text as one number with an optional sign ("-7"); nullopt for
// "", "7x" or "x".
[[nodiscard]] std::optional<int> wholeNumber(std::string_view text);

} // namespace kestrin

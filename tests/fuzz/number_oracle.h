// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrin::fuzz {

// Checks the link's reading of a reception against a second, differently
// built reading: the same grammar (blanks, sign, digits, one optional point),
// rounding done on exact integers. Numbers of more than 18 significant digits
// are only checked for being rejected when out of range.
void checkRequestNumber(std::string_view text, std::optional<std::int32_t> parsed);

} // namespace kestrin::fuzz

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace kestrin {

// The characters of a client's text: each byte is ISO-8859-1, except where
// the bytes form a valid UTF-8 sequence (no overlong form, no surrogate,
// at most U+10FFFF), which is read as that one character.
[[nodiscard]] std::u32string decodeClientText(std::string_view bytes);

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace kestrin {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// Strict UTF-8: each ill-formed part (a stray continuation byte, a sequence
// cut short, an overlong form, a surrogate, anything above U+10FFFF) becomes
// one U+FFFD, as much of it as could have begun a valid sequence at a time.
[[nodiscard]] std::u32string decodeUtf8(std::string_view bytes);

// 8-bit text of unknown encoding: every valid UTF-8 multi-byte sequence is
// read as UTF-8, every other byte as ISO-8859-1. Text that is valid UTF-8
// reads as it does in decodeUtf8(); nothing becomes U+FFFD.
[[nodiscard]] std::u32string decodeLatin1OrUtf8(std::string_view bytes);

} // namespace kestrin

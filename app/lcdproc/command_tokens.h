// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrin {

// The words of one command line. Blanks (space, tab) separate words outside
// quotes; "..." and {...} quote, and a quote opened inside a word continues
// that word, while a closing quote ends it. A backslash makes \n \r \t a
// newline, carriage return and tab, and any other character itself.
// nullopt when a quote is left open.
[[nodiscard]] std::optional<std::vector<std::string>> tokenizeCommand(std::string_view line);

} // namespace kestrin

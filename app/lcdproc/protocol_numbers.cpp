// SPDX-License-Identifier: MIT
#include "protocol_numbers.h"

#include <algorithm>

namespace kestrin {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The number at the start of text and how many characters it took.
std::pair<int, std::size_t> readNumber(std::string_view text)
{
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        at = 1;
    const std::size_t firstDigit = at;
    int value = 0;
    for (; at < text.size() && isDigit(text[at]); ++at)
        value = std::min(kNumberLimit, value * 10 + (text[at] - '0'));
    if (at == firstDigit)
        return {0, 0};
    return {negative ? -value : value, at};
}

} // namespace

int leadingNumber(std::string_view text)
{
    return readNumber(text).first;
}

std::optional<int> startingWithDigit(std::string_view text)
{
    if (text.empty() || !isDigit(text[0]))
        return std::nullopt;
    return leadingNumber(text);
}

std::optional<int> wholeNumber(std::string_view text)
{
    const auto [value, length] = readNumber(text);
    if (length == 0 || length != text.size())
        return std::nullopt;
    return value;
}

} // namespace kestrin

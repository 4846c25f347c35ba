// SPDX-License-Identifier: MIT
#include "request_number.h"

#include <limits>

namespace kestrin {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";
// Beyond this magnitude the value is out of range whatever the fraction does.
constexpr std::int64_t kMagnitudeCap = std::int64_t{1} << 32;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// How the dropped fraction compares with one half.
enum class Fraction { BelowHalf, Half, AboveHalf };

Fraction classifyFraction(std::string_view digits)
{
    if (digits.empty() || digits.front() < '5')
        return Fraction::BelowHalf;
    if (digits.front() > '5')
        return Fraction::AboveHalf;
    return digits.find_first_not_of('0', 1) == std::string_view::npos ? Fraction::Half
                                                                      : Fraction::AboveHalf;
}

} // namespace

std::optional<std::int32_t> parseRequestNumber(std::string_view text)
{
    std::string_view rest = trimBlanks(text);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }

    const auto point = rest.find('.');
    const std::string_view whole = rest.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{}
                                                                      : rest.substr(point + 1);
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    for (const std::string_view part : {whole, fraction}) {
        for (const char c : part) {
            if (!isDigit(c))
                return std::nullopt;
        }
    }

    std::int64_t magnitude = 0;
    for (const char c : whole) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kMagnitudeCap)
            return std::nullopt;
    }
    switch (classifyFraction(fraction)) {
    case Fraction::BelowHalf:
        break;
    case Fraction::Half:
        magnitude += magnitude % 2;
        break;
    case Fraction::AboveHalf:
        ++magnitude;
        break;
    }

    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min()
        || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace kestrin

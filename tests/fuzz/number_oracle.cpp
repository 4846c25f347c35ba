// SPDX-License-Identifier: MIT
#include "number_oracle.h"

#include "invariant.h"

#include <limits>
#include <string>

namespace kestrin::fuzz {

namespace {

constexpr std::size_t kExactDigits = 18;
constexpr std::size_t kInt32Digits = 10;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

struct Decimal
{
    bool negative = false;
    std::string whole;    // no leading zeros
    std::string fraction; // no trailing zeros
};

std::optional<Decimal> readDecimal(std::string_view text)
{
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;
    Decimal decimal;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        decimal.negative = text[i++] == '-';
    int digits = 0;
    bool point = false;
    for (; i < end; ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
        } else if (!isDigit(c)) {
            return std::nullopt;
        } else {
            ++digits;
            if (point)
                decimal.fraction += c;
            else if (!decimal.whole.empty() || c != '0')
                decimal.whole += c;
        }
    }
    if (digits == 0)
        return std::nullopt;
    while (!decimal.fraction.empty() && decimal.fraction.back() == '0')
        decimal.fraction.pop_back();
    return decimal;
}

std::int64_t toInteger(std::string_view digits)
{
    std::int64_t value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// Nearest integer to whole.fraction, halves to even.
std::int64_t roundHalfEven(const Decimal &decimal)
{
    std::int64_t scale = 1;
    for (std::size_t k = 0; k < decimal.fraction.size(); ++k)
        scale *= 10;
    const std::int64_t scaled = toInteger(decimal.whole + decimal.fraction);
    std::int64_t quotient = scaled / scale;
    const std::int64_t twiceRemainder = 2 * (scaled % scale);
    if (twiceRemainder > scale || (twiceRemainder == scale && quotient % 2 != 0))
        ++quotient;
    return decimal.negative ? -quotient : quotient;
}

} // namespace

void checkRequestNumber(std::string_view text, std::optional<std::int32_t> parsed)
{
    const std::optional<Decimal> decimal = readDecimal(text);
    if (!decimal) {
        require(!parsed, "text that is not a number is read as one");
        return;
    }
    if (decimal->whole.size() > kInt32Digits) {
        require(!parsed, "a number beyond 32 bits is accepted");
        return;
    }
    if (decimal->whole.size() + decimal->fraction.size() > kExactDigits)
        return;
    const std::int64_t expected = roundHalfEven(*decimal);
    if (expected < std::numeric_limits<std::int32_t>::min()
        || expected > std::numeric_limits<std::int32_t>::max()) {
        require(!parsed, "a number beyond 32 bits is accepted");
        return;
    }
    require(parsed.has_value(), "a number is rejected");
    require(*parsed == expected, "a number is read with the wrong value");
}

} // namespace kestrin::fuzz

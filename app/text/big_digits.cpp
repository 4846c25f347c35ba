// SPDX-License-Identifier: MIT
#include "big_digits.h"

#include <stdexcept>

namespace kestrin {

const BigGlyph &bigDigit(int digit)
{
    throw std::out_of_range("big digit " + std::to_string(digit) + " is outside 0..10");
}

} // namespace kestrin

// SPDX-License-Identifier: MIT
#include "client_text.h"

#include <array>
#include <optional>

namespace kestrin {

namespace {

struct SequenceForm
{
    unsigned char leadMask; // bits of the lead byte that carry the value
    char32_t smallest;      // below this the sequence is overlong
};

// Indexed by the number of continuation bytes, 1..3.
constexpr std::array<SequenceForm, 4> kSequenceForms{{
    {0x00, 0},
    {0x1F, 0x80},
    {0x0F, 0x800},
    {0x07, 0x10000},
}};

std::size_t continuationCount(unsigned char lead)
{
    if ((lead & 0xE0) == 0xC0)
        return 1;
    if ((lead & 0xF0) == 0xE0)
        return 2;
    if ((lead & 0xF8) == 0xF0)
        return 3;
    return 0;
}

// The character of the UTF-8 sequence at bytes[at], and its length.
std::optional<std::pair<char32_t, std::size_t>> utf8At(std::string_view bytes, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t more = continuationCount(lead);
    if (more == 0 || at + more >= bytes.size())
        return std::nullopt;
    char32_t value = lead & kSequenceForms[more].leadMask;
    for (std::size_t k = 1; k <= more; ++k) {
        const auto next = static_cast<unsigned char>(bytes[at + k]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < kSequenceForms[more].smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    return std::pair{value, more + 1};
}

} // namespace

std::u32string decodeClientText(std::string_view bytes)
{
    std::u32string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        if (const auto sequence = utf8At(bytes, at)) {
            text += sequence->first;
            at += sequence->second;
        } else {
            text += static_cast<char32_t>(static_cast<unsigned char>(bytes[at]));
            ++at;
        }
    }
    return text;
}

} // namespace kestrin

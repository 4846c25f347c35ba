// SPDX-License-Identifier: MIT
#include "utf8.h"

#include <array>
#include <cstdint>

namespace kestrin {

namespace {

// What a lead byte starts: the sequence's length and the range its second
// byte must fall in, which rules out overlong forms, surrogates and values
// above U+10FFFF. Every later byte is 0x80..0xBF.
struct LeadByte
{
    std::uint8_t first;
    std::uint8_t last;
    std::size_t length;
    std::uint8_t secondLow;
    std::uint8_t secondHigh;
};

constexpr std::array<LeadByte, 8> kLeadBytes{{
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},
}};

struct Step
{
    char32_t character = kReplacementCharacter;
    std::size_t length = 1; // octets consumed
    bool valid = false;
};

std::uint8_t octet(char byte)
{
    return static_cast<std::uint8_t>(byte);
}

const LeadByte *leadByte(std::uint8_t lead)
{
    for (const LeadByte &entry : kLeadBytes) {
        if (lead >= entry.first && lead <= entry.last)
            return &entry;
    }
    return nullptr;
}

// The sequence at the start of bytes (not empty).
Step decodeStep(std::string_view bytes)
{
    const std::uint8_t lead = octet(bytes[0]);
    if (lead < 0x80)
        return {lead, 1, true};
    const LeadByte *rule = leadByte(lead);
    if (rule == nullptr)
        return {};
    char32_t value = lead & (0x7Fu >> rule->length);
    for (std::size_t index = 1; index < rule->length; ++index) {
        const std::uint8_t low = index == 1 ? rule->secondLow : 0x80;
        const std::uint8_t high = index == 1 ? rule->secondHigh : 0xBF;
        if (index >= bytes.size() || octet(bytes[index]) < low || octet(bytes[index]) > high)
            return {kReplacementCharacter, index, false};
        value = value << 6 | (octet(bytes[index]) & 0x3Fu);
    }
    return {value, rule->length, true};
}

} // namespace

std::u32string decodeUtf8(std::string_view bytes)
{
    std::u32string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const Step step = decodeStep(bytes);
        text.push_back(step.character);
        bytes.remove_prefix(step.length);
    }
    return text;
}

std::u32string decodeLatin1OrUtf8(std::string_view bytes)
{
    std::u32string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const Step step = decodeStep(bytes);
        text.push_back(step.valid ? step.character : octet(bytes[0]));
        bytes.remove_prefix(step.valid ? step.length : 1);
    }
    return text;
}

} // namespace kestrin

// SPDX-License-Identifier: MIT
#include "line_settings.h"

#include "run_time_error.h"

#include <array>
#include <cctype>
#include <charconv>
#include <string>

namespace kestrin {

namespace {

constexpr int kFieldCount = 4;
constexpr int kMaxBaud = 4'000'000;
constexpr std::string_view kParities = "NEOMS";

struct StopBitsName
{
    std::string_view text;
    StopBits value;
};
constexpr std::array<StopBitsName, 3> kStopBitsNames{{
    {"1", StopBits::One},
    {"1.5", StopBits::OneAndHalf},
    {"2", StopBits::Two},
}};

[[noreturn]] void reject(std::string_view text, std::string_view why)
{
    throw RunTimeError("line settings \"" + std::string(text) + "\": " + std::string(why));
}

std::array<std::string_view, kFieldCount> splitFields(std::string_view text)
{
    std::array<std::string_view, kFieldCount> fields;
    std::string_view rest = text;
    for (int index = 0; index < kFieldCount; ++index) {
        const auto comma = rest.find(',');
        const bool last = index == kFieldCount - 1;
        if (last != (comma == std::string_view::npos))
            reject(text, "expected four comma-separated fields");
        fields[static_cast<std::size_t>(index)] = rest.substr(0, comma);
        rest = last ? std::string_view{} : rest.substr(comma + 1);
    }
    return fields;
}

int parseNumber(std::string_view text, std::string_view field, int low, int high)
{
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc{} || end != field.data() + field.size() || value < low
        || value > high)
        reject(text, "\"" + std::string(field) + "\" is not a number in " + std::to_string(low)
                         + ".." + std::to_string(high));
    return value;
}

char parseParity(std::string_view text, std::string_view field)
{
    if (field.size() == 1) {
        const auto upper = static_cast<char>(std::toupper(static_cast<unsigned char>(field.front())));
        if (kParities.find(upper) != std::string_view::npos)
            return upper;
    }
    reject(text, "parity must be one of N, E, O, M, S");
}

StopBits parseStopBits(std::string_view text, std::string_view field)
{
    for (const StopBitsName &name : kStopBitsNames) {
        if (name.text == field)
            return name.value;
    }
    reject(text, "stop bits must be 1, 1.5 or 2");
}

} // namespace

LineSettings parseLineSettings(std::string_view text)
{
    const auto fields = splitFields(text);
    LineSettings settings;
    settings.baud = parseNumber(text, fields[0], 1, kMaxBaud);
    settings.parity = parseParity(text, fields[1]);
    settings.dataBits = parseNumber(text, fields[2], 5, 8);
    settings.stopBits = parseStopBits(text, fields[3]);
    return settings;
}

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrin {

// The 22 icons an LCDproc client may ask for by name. Each also has a
// Unicode character, so that text given to kestrin can hold them too.
enum class LcdIcon : std::uint8_t {
    BlockFilled,
    HeartOpen,
    HeartFilled,
    ArrowUp,
    ArrowDown,
    ArrowLeft,
    ArrowRight,
    CheckboxOff,
    CheckboxOn,
    CheckboxGray,
    SelectorAtLeft,
    SelectorAtRight,
    Ellipsis,
    Stop,
    Pause,
    Play,
    PlayReverse,
    FastForward,
    FastRewind,
    Next,
    Previous,
    Record,
};

struct LcdIconName
{
    std::string_view name; // as the protocol spells it
    LcdIcon icon;
    char32_t character; // the Unicode character drawn with the icon's glyph
};

inline constexpr std::array<LcdIconName, 22> kLcdIcons{{
    {"BLOCK_FILLED", LcdIcon::BlockFilled, U'\u2588'},
    {"HEART_OPEN", LcdIcon::HeartOpen, U'\u2661'},
    {"HEART_FILLED", LcdIcon::HeartFilled, U'\u2665'},
    {"ARROW_UP", LcdIcon::ArrowUp, U'\u2191'},
    {"ARROW_DOWN", LcdIcon::ArrowDown, U'\u2193'},
    {"ARROW_LEFT", LcdIcon::ArrowLeft, U'\u2190'},
    {"ARROW_RIGHT", LcdIcon::ArrowRight, U'\u2192'},
    {"CHECKBOX_OFF", LcdIcon::CheckboxOff, U'\u2610'},
    {"CHECKBOX_ON", LcdIcon::CheckboxOn, U'\u2611'},
    {"CHECKBOX_GRAY", LcdIcon::CheckboxGray, U'\u25A3'},
    {"SELECTOR_AT_LEFT", LcdIcon::SelectorAtLeft, U'\u25B8'},
    {"SELECTOR_AT_RIGHT", LcdIcon::SelectorAtRight, U'\u25C2'},
    {"ELLIPSIS", LcdIcon::Ellipsis, U'\u2026'},
    {"STOP", LcdIcon::Stop, U'\u23F9'},
    {"PAUSE", LcdIcon::Pause, U'\u23F8'},
    {"PLAY", LcdIcon::Play, U'\u23F5'},
    {"PLAYR", LcdIcon::PlayReverse, U'\u23F4'},
    {"FF", LcdIcon::FastForward, U'\u23E9'},
    {"FR", LcdIcon::FastRewind, U'\u23EA'},
    {"NEXT", LcdIcon::Next, U'\u23ED'},
    {"PREV", LcdIcon::Previous, U'\u23EE'},
    {"REC", LcdIcon::Record, U'\u23FA'},
}};

// The icon of a protocol name (exact spelling), if there is one.
[[nodiscard]] constexpr std::optional<LcdIcon> lcdIconNamed(std::string_view name)
{
    for (const LcdIconName &entry : kLcdIcons) {
        if (entry.name == name)
            return entry.icon;
    }
    return std::nullopt;
}

[[nodiscard]] constexpr char32_t lcdIconCharacter(LcdIcon icon)
{
    return kLcdIcons[static_cast<std::size_t>(icon)].character;
}

} // namespace kestrin

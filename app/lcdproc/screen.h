// SPDX-License-Identifier: MIT
#pragma once

#include "widget.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrin {

// Priority classes, lowest first. Only the highest class present is shown;
// info, foreground and background screens take turns by their durations,
// alert and input screens stay until they go. Hidden screens never show.
enum class Priority : std::uint8_t { Hidden, Background, Info, Foreground, Alert, Input };

// The class of screen_set's -priority value: a name, or a number (1..64
// foreground, 65..191 info, 192 and up background); nullopt when it is
// neither.
[[nodiscard]] std::optional<Priority> priorityNamed(std::string_view value);

enum class Heartbeat : std::uint8_t { Open, On, Off }; // open: as the server has it

// Ticks of 1/8 s.
inline constexpr int kTicksPerSecond = 8;
inline constexpr int kDefaultDuration = 4 * kTicksPerSecond;

struct Screen
{
    int owner = 0; // the client's number; 0 is the server
    std::string id;
    std::u32string name;
    int width = 20;
    int height = 4;
    Priority priority = Priority::Info;
    int duration = kDefaultDuration;
    int timeout = 0; // ticks left on the display before it is deleted; 0: never
    Heartbeat heartbeat = Heartbeat::Open;
    std::vector<Widget> widgets; // drawn in this order

    [[nodiscard]] Widget *widget(std::string_view widgetId);
};

// Applies screen_set's options (those after the screen id); returns one
// reply line per option. Backlight and cursor are accepted and not shown.
[[nodiscard]] std::vector<std::string> setScreenOptions(Screen &screen, std::span<const std::string> options);

} // namespace kestrin

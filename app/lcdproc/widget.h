// SPDX-License-Identifier: MIT
#pragma once

#include "lcd_icon.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrin {

enum class WidgetType : std::uint8_t { String, Title, HBar, VBar, PBar, Icon, Scroller, Frame, Num };

struct WidgetTypeName
{
    std::string_view name; // as widget_add spells it
    WidgetType type;
};

inline constexpr std::array<WidgetTypeName, 9> kWidgetTypes{{
    {"string", WidgetType::String},
    {"title", WidgetType::Title},
    {"hbar", WidgetType::HBar},
    {"vbar", WidgetType::VBar},
    {"pbar", WidgetType::PBar},
    {"icon", WidgetType::Icon},
    {"scroller", WidgetType::Scroller},
    {"frame", WidgetType::Frame},
    {"num", WidgetType::Num},
}};

// The type of a widget_add type name (exact spelling), if there is one.
[[nodiscard]] std::optional<WidgetType> widgetTypeNamed(std::string_view name);

// One widget of a client's screen, as widget_set last set it. Cells count
// from 1; a widget in a frame counts them from the frame's first cell.
struct Widget
{
    std::string id;
    WidgetType type = WidgetType::String;
    std::string frame; // the frame widget it is in; empty: the screen itself

    int x = 0;        // string, bars, icon, num
    int y = 0;        // string, bars, icon
    int length = 0;   // hbar, vbar: pixels; pbar: cells, labels included
    int promille = 0; // pbar
    int left = 0;     // scroller, frame: the cells they cover, inclusive
    int top = 0;
    int right = 0;
    int bottom = 0;
    int innerWidth = 0; // frame: the cells of its own content
    int innerHeight = 0;
    char direction = 'h'; // scroller: h, v, m; frame: h, v
    int speed = 0;        // ticks per step; below -1: steps per tick
    int digit = -1;       // num: 0..9, kBigColon; otherwise nothing is drawn
    std::optional<LcdIcon> icon;
    std::u32string text;     // string, title, scroller; pbar: the label before the bar
    std::u32string endLabel; // pbar: the label after it
};

// Applies widget_set's arguments (those after the screen and widget ids);
// returns the reply lines. Wrong arguments leave the widget as it was, but
// for num's digit, which then shows nothing.
[[nodiscard]] std::vector<std::string> setWidget(Widget &widget, std::span<const std::string> args);

} // namespace kestrin

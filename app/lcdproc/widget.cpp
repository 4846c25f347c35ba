// SPDX-License-Identifier: MIT
#include "widget.h"

#include "big_digits.h"
#include "protocol_numbers.h"
#include "utf8.h"

#include <algorithm>

namespace kestrin {

namespace {

constexpr std::string_view kSuccess = "success";
constexpr std::string_view kWrongCount = "huh? Wrong number of arguments";
constexpr std::string_view kBadCoordinates = "huh? Invalid coordinates";
constexpr std::string_view kBadDirection = "huh? Invalid direction";

using Replies = std::vector<std::string>;
using Args = std::span<const std::string>;

Replies reply(std::string_view line)
{
    return {std::string(line)};
}

// The leading coordinates of args, each starting with a digit; nullopt
// when one does not.
template <std::size_t N>
std::optional<std::array<int, N>> coordinates(Args args)
{
    std::array<int, N> values{};
    for (std::size_t i = 0; i < N; ++i) {
        const auto value = startingWithDigit(args[i]);
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    return values;
}

Replies setString(Widget &widget, Args args)
{
    if (args.size() != 3)
        return reply(kWrongCount);
    const auto at = coordinates<2>(args);
    if (!at)
        return reply(kBadCoordinates);
    widget.x = (*at)[0];
    widget.y = (*at)[1];
    widget.text = decodeLatin1OrUtf8(args[2]);
    return reply(kSuccess);
}

Replies setTitle(Widget &widget, Args args)
{
    if (args.size() != 1)
        return reply(kWrongCount);
    widget.text = decodeLatin1OrUtf8(args[0]);
    return reply(kSuccess);
}

// Bars reply success even to coordinates they refuse.
Replies setBar(Widget &widget, Args args)
{
    if (args.size() != 3)
        return reply(kWrongCount);
    const auto at = coordinates<2>(args);
    if (!at)
        return {std::string(kBadCoordinates), std::string(kSuccess)};
    widget.x = (*at)[0];
    widget.y = (*at)[1];
    widget.length = leadingNumber(args[2]);
    return reply(kSuccess);
}

Replies setPercentBar(Widget &widget, Args args)
{
    if (args.size() < 4 || args.size() > 6)
        return reply(kWrongCount);
    const auto at = coordinates<3>(args);
    if (!at)
        return reply(kBadCoordinates);
    widget.x = (*at)[0];
    widget.y = (*at)[1];
    widget.length = (*at)[2];
    widget.promille = std::clamp(leadingNumber(args[3]), 0, 1000);
    widget.text = args.size() > 4 ? decodeLatin1OrUtf8(args[4]) : std::u32string();
    widget.endLabel = args.size() > 5 ? decodeLatin1OrUtf8(args[5]) : std::u32string();
    return reply(kSuccess);
}

std::string upperCase(std::string text)
{
    for (char &c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

Replies setIcon(Widget &widget, Args args)
{
    if (args.size() != 3)
        return reply(kWrongCount);
    const auto at = coordinates<2>(args);
    if (!at)
        return reply(kBadCoordinates);
    const auto icon = lcdIconNamed(upperCase(args[2]));
    if (!icon)
        return reply("huh? Invalid icon name");
    widget.x = (*at)[0];
    widget.y = (*at)[1];
    widget.icon = icon;
    return reply(kSuccess);
}

Replies setScroller(Widget &widget, Args args)
{
    if (args.size() != 7)
        return reply(kWrongCount);
    const auto area = coordinates<4>(args);
    if (!area)
        return reply(kBadCoordinates);
    const char direction = args[4].empty() ? '\0' : args[4][0];
    if (direction != 'h' && direction != 'v' && direction != 'm')
        return reply(kBadDirection);
    const auto [left, top, right, bottom] = *area;
    widget.left = left;
    widget.top = top;
    widget.right = right;
    widget.bottom = bottom;
    widget.direction = direction;
    widget.speed = leadingNumber(args[5]);
    widget.text = decodeLatin1OrUtf8(args[6]);
    return reply(kSuccess);
}

Replies setFrame(Widget &widget, Args args)
{
    if (args.size() != 8)
        return reply(kWrongCount);
    const auto area = coordinates<6>(args);
    if (!area)
        return reply(kBadCoordinates);
    const char direction = args[6].empty() ? '\0' : args[6][0];
    if (direction != 'h' && direction != 'v')
        return reply(kBadDirection);
    const auto [left, top, right, bottom, innerWidth, innerHeight] = *area;
    widget.left = left;
    widget.top = top;
    widget.right = right;
    widget.bottom = bottom;
    widget.innerWidth = innerWidth;
    widget.innerHeight = innerHeight;
    widget.direction = direction;
    widget.speed = leadingNumber(args[7]);
    return reply(kSuccess);
}

// A refused position keeps the digit where it was; a refused digit clears it.
Replies setNum(Widget &widget, Args args)
{
    if (args.size() != 2)
        return reply(kWrongCount);
    const auto x = startingWithDigit(args[0]);
    if (!x)
        return {std::string(kBadCoordinates), std::string(kSuccess)};
    widget.x = *x;
    const auto digit = startingWithDigit(args[1]);
    widget.digit = digit && *digit <= kBigColon ? *digit : -1;
    if (!digit)
        return {"huh? Invalid number", std::string(kSuccess)};
    return reply(kSuccess);
}

} // namespace

std::optional<WidgetType> widgetTypeNamed(std::string_view name)
{
    for (const WidgetTypeName &entry : kWidgetTypes) {
        if (entry.name == name)
            return entry.type;
    }
    return std::nullopt;
}

std::vector<std::string> setWidget(Widget &widget, std::span<const std::string> args)
{
    switch (widget.type) {
    case WidgetType::String:
        return setString(widget, args);
    case WidgetType::Title:
        return setTitle(widget, args);
    case WidgetType::HBar:
    case WidgetType::VBar:
        return setBar(widget, args);
    case WidgetType::PBar:
        return setPercentBar(widget, args);
    case WidgetType::Icon:
        return setIcon(widget, args);
    case WidgetType::Scroller:
        return setScroller(widget, args);
    case WidgetType::Frame:
        return setFrame(widget, args);
    case WidgetType::Num:
        return setNum(widget, args);
    }
    return reply(kWrongCount);
}

} // namespace kestrin

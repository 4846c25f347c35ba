// SPDX-License-Identifier: MIT
#include "screen.h"

#include "protocol_numbers.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kestrin {

namespace {

constexpr std::array<std::pair<std::string_view, Priority>, 6> kPriorityNames{{
    {"hidden", Priority::Hidden},
    {"background", Priority::Background},
    {"info", Priority::Info},
    {"foreground", Priority::Foreground},
    {"alert", Priority::Alert},
    {"input", Priority::Input},
}};

constexpr std::array<std::string_view, 6> kBacklightModes{"on", "off", "toggle", "open", "blink", "flash"};

constexpr std::string_view kSuccess = "success";

template <std::size_t N>
bool contains(const std::array<std::string_view, N> &names, std::string_view value)
{
    return std::find(names.begin(), names.end(), value) != names.end();
}

void setPositive(int &field, std::string_view value)
{
    if (const int number = leadingNumber(value); number > 0)
        field = number;
}

std::string setPriority(Screen &screen, std::string_view value)
{
    const auto priority = priorityNamed(value);
    if (!priority)
        return "huh? invalid argument at -priority";
    screen.priority = *priority;
    return std::string(kSuccess);
}

std::string setHeartbeat(Screen &screen, std::string_view value)
{
    if (value == "on")
        screen.heartbeat = Heartbeat::On;
    else if (value == "off")
        screen.heartbeat = Heartbeat::Off;
    else if (value == "open")
        screen.heartbeat = Heartbeat::Open;
    return std::string(kSuccess);
}

std::string checkCursor(int value, int limit)
{
    if (value < 1 || value > limit)
        return "huh? Cursor position outside screen";
    return std::string(kSuccess);
}

using OptionSetter = std::vector<std::string> (*)(Screen &, std::string_view);

std::vector<std::string> one(std::string line)
{
    return {std::move(line)};
}

// Every option takes one value.
constexpr std::array<std::pair<std::string_view, OptionSetter>, 11> kOptionSetters{{
    {"name", [](Screen &s, std::string_view v) { s.name = decodeLatin1OrUtf8(v); return one("success"); }},
    {"wid", [](Screen &s, std::string_view v) { setPositive(s.width, v); return one("success"); }},
    {"hgt", [](Screen &s, std::string_view v) { setPositive(s.height, v); return one("success"); }},
    {"priority", [](Screen &s, std::string_view v) { return one(setPriority(s, v)); }},
    {"duration", [](Screen &s, std::string_view v) { setPositive(s.duration, v); return one("success"); }},
    {"timeout", [](Screen &s, std::string_view v) { setPositive(s.timeout, v); return one("success"); }},
    {"heartbeat", [](Screen &s, std::string_view v) { return one(setHeartbeat(s, v)); }},
    {"backlight", [](Screen &, std::string_view v) {
         if (contains(kBacklightModes, v))
             return one("success");
         return std::vector<std::string>{"huh? unknown backlight mode", "success"};
     }},
    {"cursor", [](Screen &, std::string_view) { return one("success"); }},
    {"cursor_x", [](Screen &s, std::string_view v) { return one(checkCursor(leadingNumber(v), s.width)); }},
    {"cursor_y", [](Screen &s, std::string_view v) { return one(checkCursor(leadingNumber(v), s.height)); }},
}};

} // namespace

std::optional<Priority> priorityNamed(std::string_view value)
{
    for (const auto &[name, priority] : kPriorityNames) {
        if (name == value)
            return priority;
    }
    const int number = leadingNumber(value);
    if (number <= 0)
        return std::nullopt;
    if (number <= 64)
        return Priority::Foreground;
    return number < 192 ? Priority::Info : Priority::Background;
}

Widget *Screen::widget(std::string_view widgetId)
{
    const auto found = std::find_if(widgets.begin(), widgets.end(),
                                    [widgetId](const Widget &w) { return w.id == widgetId; });
    return found == widgets.end() ? nullptr : &*found;
}

std::vector<std::string> setScreenOptions(Screen &screen, std::span<const std::string> options)
{
    std::vector<std::string> replies;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string_view option = std::string_view(options[i]).substr(options[i].starts_with('-') ? 1 : 0);
        const auto setter = std::find_if(kOptionSetters.begin(), kOptionSetters.end(),
                                         [option](const auto &entry) { return entry.first == option; });
        if (setter == kOptionSetters.end()) {
            replies.emplace_back("huh? invalid parameter");
        } else if (i + 1 == options.size()) {
            replies.push_back("huh? -" + std::string(option) + " requires a parameter");
        } else {
            for (std::string &line : setter->second(screen, options[++i]))
                replies.push_back(std::move(line));
        }
    }
    return replies;
}

} // namespace kestrin

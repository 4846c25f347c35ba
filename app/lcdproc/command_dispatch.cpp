// SPDX-License-Identifier: MIT
#include "command_dispatch.h"

#include "protocol_numbers.h"

#include <algorithm>
#include <array>

namespace kestrin {

namespace {

using Args = std::span<const std::string>; // the words after the command's name
using Replies = std::vector<std::string>;
using Handler = Replies (*)(CommandContext &, Args);

constexpr std::string_view kInfoLine = "kestrin: 122x32 graphic display, 20x4 cells of 6x8";

Replies hello(CommandContext &context, Args args)
{
    context.client.greeted = true;
    Replies replies;
    if (!args.empty())
        replies.emplace_back("huh? extra parameters ignored");
    replies.emplace_back(kConnectLine);
    return replies;
}

std::string_view withoutDash(const std::string &word)
{
    return std::string_view(word).substr(word.starts_with('-') ? 1 : 0);
}

Replies clientSet(CommandContext &context, Args args)
{
    if (args.size() != 2)
        return {"huh? Usage: client_set -name <name>"};
    if (withoutDash(args[0]) == "name") {
        context.client.name = args[1];
        context.client.menus.open();
        return {"success"};
    }
    Replies replies{"huh? invalid parameter (" + std::string(withoutDash(args[0])) + ")"};
    if (withoutDash(args[1]) == "name")
        replies.emplace_back("huh? internal error: no parameter 3");
    else
        replies.push_back("huh? invalid parameter (" + std::string(withoutDash(args[1])) + ")");
    return replies;
}

Replies clientAddKey(CommandContext &context, Args args)
{
    if (args.empty())
        return {"huh? Usage: client_add_key [-exclusively|-shared] {<key>}+"};
    Replies replies;
    bool exclusive = false;
    if (args[0].starts_with('-')) {
        exclusive = args[0] == "-exclusively";
        if (!exclusive && args[0] != "-shared")
            replies.push_back("huh? Invalid option: " + args[0]);
        args = args.subspan(1);
    }
    for (const std::string &key : args) {
        if (!context.keys.reserve(context.client.number, key, exclusive))
            replies.push_back("huh? Could not reserve key \"" + key + "\"");
    }
    replies.emplace_back("success");
    return replies;
}

Replies clientDelKey(CommandContext &context, Args args)
{
    if (args.empty())
        return {"huh? Usage: client_del_key {<key>}+"};
    for (const std::string &key : args)
        context.keys.release(context.client.number, key);
    return {"success"};
}

Replies screenAdd(CommandContext &context, Args args)
{
    if (args.size() != 1)
        return {"huh? Usage: screen_add <screenid>"};
    if (context.screens.find(context.client.number, args[0]) != nullptr)
        return {"huh? Screen already exists"};
    if (context.screens.count(context.client.number) >= kMaxScreensPerClient)
        return {"huh? Too many screens (at most 64 a client)"};
    context.screens.add(context.client.number, args[0]);
    return {"success"};
}

Replies screenDel(CommandContext &context, Args args)
{
    if (args.size() != 1)
        return {"huh? Usage: screen_del <screenid>"};
    const Screen *screen = context.screens.find(context.client.number, args[0]);
    if (screen == nullptr)
        return {"huh? Unknown screen id"};
    context.screens.remove(*screen);
    return {"success"};
}

Replies screenSet(CommandContext &context, Args args)
{
    if (args.empty())
        return {"huh? Usage: screen_set <id> [-name <name>] [-wid <width>] [-hgt <height>] [-priority <prio>] "
                "[-duration <int>] [-timeout <int>] [-heartbeat <type>] [-backlight <type>] [-cursor <type>] "
                "[-cursor_x <xpos>] [-cursor_y <ypos>]"};
    Screen *screen = context.screens.find(context.client.number, args[0]);
    if (screen == nullptr)
        return {"huh? Unknown screen id"};
    if (args.size() == 1)
        return {"huh? What do you want to set?"};
    return setScreenOptions(*screen, args.subspan(1));
}

// Removes a widget and, when it is a frame, everything in it.
void removeWidget(Screen &screen, const std::string &id)
{
    std::vector<std::string> going{id};
    for (std::size_t i = 0; i < going.size(); ++i) {
        for (const Widget &widget : screen.widgets) {
            if (widget.frame == going[i])
                going.push_back(widget.id);
        }
    }
    std::erase_if(screen.widgets, [&](const Widget &widget) {
        return std::find(going.begin(), going.end(), widget.id) != going.end();
    });
}

Replies widgetAdd(CommandContext &context, Args args)
{
    if (args.size() < 3 || args.size() > 5)
        return {"huh? Usage: widget_add <screenid> <widgetid> <widgettype> [-in <id>]"};
    Screen *screen = context.screens.find(context.client.number, args[0]);
    if (screen == nullptr)
        return {"huh? Invalid screen id"};
    const auto type = widgetTypeNamed(args[2]);
    if (!type)
        return {"huh? Invalid widget type"};
    std::string frame;
    if (args.size() > 3 && withoutDash(args[3]) == "in") {
        if (args.size() == 4)
            return {"huh? Specify a frame to place widget in"};
        const Widget *container = screen->widget(args[4]);
        if (container == nullptr || container->type != WidgetType::Frame)
            return {"huh? Error finding frame"};
        frame = args[4];
    }
    // A widget id already in use is answered with success; the widget stays.
    if (screen->widget(args[1]) != nullptr)
        return {"success"};
    if (static_cast<int>(screen->widgets.size()) >= kMaxWidgetsPerScreen)
        return {"huh? Too many widgets (at most 256 a screen)"};
    Widget &widget = screen->widgets.emplace_back();
    widget.id = args[1];
    widget.type = *type;
    widget.frame = frame;
    return {"success"};
}

Replies widgetDel(CommandContext &context, Args args)
{
    if (args.size() != 2)
        return {"huh? Usage: widget_del <screenid> <widgetid>"};
    Screen *screen = context.screens.find(context.client.number, args[0]);
    if (screen == nullptr)
        return {"huh? Invalid screen id"};
    if (screen->widget(args[1]) == nullptr)
        return {"huh? Invalid widget id"};
    removeWidget(*screen, args[1]);
    return {"success"};
}

Replies widgetSet(CommandContext &context, Args args)
{
    if (args.size() < 3)
        return {"huh? Usage: widget_set <screenid> <widgetid> <widget-SPECIFIC-data>"};
    Screen *screen = context.screens.find(context.client.number, args[0]);
    if (screen == nullptr)
        return {"huh? Unknown screen id"};
    Widget *widget = screen->widget(args[1]);
    if (widget == nullptr)
        return {"huh? Unknown widget id"};
    return setWidget(*widget, args.subspan(2));
}

Replies menuAddItem(CommandContext &context, Args args)
{
    return context.client.menus.add(args);
}

Replies menuDelItem(CommandContext &context, Args args)
{
    return context.client.menus.remove(args);
}

Replies menuSetItem(CommandContext &context, Args args)
{
    return context.client.menus.set(args);
}

Replies menuGoto(CommandContext &context, Args args)
{
    return context.client.menus.goTo(args);
}

Replies menuSetMain(CommandContext &context, Args args)
{
    return context.client.menus.setMain(args);
}

Replies backlight(CommandContext &, Args args)
{
    if (args.size() != 1)
        return {"huh? Usage: backlight {on|off|toggle|blink|flash}"};
    return {"success"};
}

Replies output(CommandContext &, Args args)
{
    if (args.size() != 1)
        return {"huh? Usage: output {on|off|<num>}"};
    if (args[0] != "on" && args[0] != "off" && !wholeNumber(args[0]))
        return {"huh? invalid parameter..."};
    return {"success"};
}

Replies noop(CommandContext &, Args)
{
    return {"noop complete"};
}

Replies info(CommandContext &, Args args)
{
    if (!args.empty())
        return {"huh? Extra arguments ignored...", std::string(kInfoLine)};
    return {std::string(kInfoLine)};
}

// Says how long it would sleep (1..60 s), and does not: clients only expect the lines.
Replies sleep(CommandContext &, Args args)
{
    if (args.size() != 1)
        return {"huh? Usage: sleep <secs>"};
    const auto seconds = wholeNumber(args[0]);
    if (!seconds)
        return {"huh? invalid parameter..."};
    return {"sleeping " + std::to_string(std::clamp(*seconds, 1, 60)) + " seconds",
            "huh? ignored (not fully implemented)"};
}

struct Command
{
    std::string_view name;
    Handler handler;
};

constexpr std::array<Command, 21> kCommands{{
    {"hello", hello},
    {"client_set", clientSet},
    {"client_add_key", clientAddKey},
    {"client_del_key", clientDelKey},
    {"screen_add", screenAdd},
    {"screen_del", screenDel},
    {"screen_set", screenSet},
    {"widget_add", widgetAdd},
    {"widget_del", widgetDel},
    {"widget_set", widgetSet},
    {"menu_add_item", menuAddItem},
    {"menu_del_item", menuDelItem},
    {"menu_set_item", menuSetItem},
    {"menu_goto", menuGoto},
    {"menu_set_main", menuSetMain},
    {"backlight", backlight},
    {"output", output},
    {"noop", noop},
    {"info", info},
    {"sleep", sleep},
    {"bye", nullptr},
}};

} // namespace

AfterCommand dispatchCommand(CommandContext &context, std::span<const std::string> words)
{
    const std::string &name = words.front();
    const auto command = std::find_if(kCommands.begin(), kCommands.end(),
                                      [&name](const Command &c) { return c.name == name; });
    if (command == kCommands.end()) {
        context.reply("huh? Invalid command \"" + name + "\"");
        return AfterCommand::Stay;
    }
    if (command->handler == nullptr)
        return AfterCommand::Close;
    if (!context.client.greeted && command->handler != hello) {
        context.reply("huh? Function returned error \"" + name + "\"");
        return AfterCommand::Stay;
    }
    for (std::string &line : command->handler(context, words.subspan(1)))
        context.reply(std::move(line));
    return AfterCommand::Stay;
}

} // namespace kestrin

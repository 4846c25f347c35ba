// SPDX-License-Identifier: MIT
#pragma once

#include "key_reservations.h"
#include "menu_items.h"
#include "screen_list.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace kestrin {

// The greeting: the server version and protocol clients know, and the
// built-in cells.
inline constexpr std::string_view kConnectLine =
    "connect LCDproc 0.5.9 protocol 0.3 lcd wid 20 hgt 4 cellwid 6 cellhgt 8";

inline constexpr int kMaxScreensPerClient = 64;
inline constexpr int kMaxWidgetsPerScreen = 256;

struct Client
{
    int number = 0;
    bool greeted = false; // said hello
    std::string name;
    MenuItems menus;
};

// What a command may touch: its client, and what all clients share.
struct CommandContext
{
    Client &client;
    ScreenList &screens;
    KeyReservations &keys;
    std::function<void(std::string)> reply;
};

enum class AfterCommand : std::uint8_t { Stay, Close };

// Runs one command, its words as tokenizeCommand() gives them (at least
// one); every reply line goes to context.reply, in order. Close after bye.
AfterCommand dispatchCommand(CommandContext &context, std::span<const std::string> words);

} // namespace kestrin

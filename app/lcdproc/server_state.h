// SPDX-License-Identifier: MIT
#pragma once

#include "command_dispatch.h"
#include "display_bitmap.h"
#include "line_splitter.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace kestrin {

// The whole LCDproc server without its sockets: clients by number, their
// screens and keys, the server screen, and the ticks. Lines to clients,
// replies and listen/ignore alike, leave through Send in the order they
// arise.
class ServerState
{
public:
    using Send = std::function<void(int client, const std::string &line)>;

    explicit ServerState(Send send);

    void connect(int client);
    void disconnect(int client);
    [[nodiscard]] int clientCount() const { return static_cast<int>(m_clients.size()); }

    // Handles one line of a connected client; Close once it said bye.
    AfterCommand handleLine(int client, const ClientLine &line);

    // One tick of 1/8 s: rotation and timeouts.
    void tick();
    // The screen shown now; a clear bitmap when none is (the server screen
    // disabled and no client screen up).
    [[nodiscard]] DisplayBitmap render();
    [[nodiscard]] bool showingClientScreen() const;
    void setServerScreenEnabled(bool enabled) { m_screens.setServerScreenEnabled(enabled); }

private:
    void sendToClient(int client, const std::string &line);

    Send m_send;
    std::map<int, Client> m_clients;
    ScreenList m_screens;
    KeyReservations m_keys;
    std::int64_t m_tick = 0;
};

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include "line_settings.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrin {

// The client's side of telnet as a network serial bridge speaks it, with the
// COM port control option. It offers binary transmission both ways and the
// COM port option; once the bridge agrees to the option, it asks for the
// line's baud rate, data bits, parity and stop bits, and no flow control.
// Options it does not know it refuses. Plain C++: the connection is the
// caller's, and every octet goes through here both ways.
class TelnetCodec
{
public:
    // What one batch of octets from the bridge holds.
    struct Decoded
    {
        std::string data;    // the board's octets, every command taken out
        std::string replies; // what to send back to the bridge at once
    };

    explicit TelnetCodec(LineSettings line);

    // The client's offers, sent as the connection opens.
    [[nodiscard]] std::string opening();
    // One data octet as it goes to the bridge: 0xFF is doubled.
    [[nodiscard]] static std::string encode(std::uint8_t octet);
    // Octets from the bridge, in any pieces: a command may end in the next.
    [[nodiscard]] Decoded decode(std::string_view received);

private:
    enum class State { Data, Command, Option, Subnegotiation, SubnegotiationCommand };

    void negotiate(std::uint8_t verb, std::uint8_t option, std::string &replies);
    [[nodiscard]] std::string lineRequests() const;

    LineSettings m_line;
    State m_state = State::Data;
    std::uint8_t m_verb = 0;
    std::bitset<256> m_local;  // options on at our side, or offered
    std::bitset<256> m_remote; // options on at the bridge's side, or asked for
    bool m_comPortAgreed = false;
};

} // namespace kestrin

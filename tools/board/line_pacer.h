// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>

namespace board {

// Paces a pseudo-terminal like a 115200-baud wire, as the board sees it: an
// octet takes ten bit times (86.8 us) to leave and to arrive, in each
// direction on its own. A pacer that is not enabled never waits.
class LinePacer
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::nanoseconds kOctetTime{86'806};

    explicit LinePacer(bool enabled) : m_enabled(enabled) {}

    // Returns once octets just written would have left the wire.
    void sent(std::size_t octets) { pace(m_sendFree, octets); }
    // Returns once octets just read would have arrived over the wire.
    void received(std::size_t octets) { pace(m_receiveFree, octets); }

private:
    void pace(Clock::time_point &free, std::size_t octets);

    bool m_enabled = false;
    Clock::time_point m_sendFree{};
    Clock::time_point m_receiveFree{};
};

} // namespace board

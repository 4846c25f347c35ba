// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>

namespace board {

// Paces a pseudo-terminal like a 115200-baud wire, as the board sees it: an
// octet takes ten bit times (86.8 us), each direction on a line of its own.
// An octet counts from when the board saw it or from when the wire was free
// for it, whichever is later, and every wait ends on its deadline to within
// microseconds, so that a page costs the line's time and the host's, and
// next to nothing of the board's own. A pacer that is not enabled never waits.
class LinePacer
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::nanoseconds kOctetTime{86'806};
    // A wait sleeps until this long before its deadline and spins the rest:
    // even without timer slack a sleep wakes tens of microseconds late.
    static constexpr std::chrono::microseconds kSpin{80};

    explicit LinePacer(bool enabled);

    [[nodiscard]] bool enabled() const { return m_enabled; }
    // Returns once the line to the host is free for one more octet, which
    // then takes it for an octet time: write that octet next.
    void sending();
    // Returns once octets read just now would have arrived over the wire: an
    // octet time each after the one before could have, and the first no
    // sooner than an octet time after what was sent ahead of them arrived.
    void received(std::size_t octets);

private:
    static void waitUntil(Clock::time_point deadline);

    bool m_enabled = false;
    Clock::time_point m_sendFree{};
    Clock::time_point m_receiveFree{};
};

} // namespace board

// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>

namespace board {

// Paces a pseudo-terminal like a 115200-baud wire, as the board sees it: each
// direction carries one octet per ten bit times (86.8 us). An octet arrives
// an octet time after the one before it on its direction could have, and an
// answer's first octet an octet time after the request could have reached the
// host, or when the board sees it if that is later; so a frame of eight
// requests and eight pages never beats the line's 23.2 a second. Deadlines
// chain from when octets could have arrived, never from when a wait ended,
// and waits end on their deadlines to within microseconds. A pacer that is
// not enabled never waits.
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
    // Returns once octets read just now would have arrived over the wire.
    void received(std::size_t octets);

private:
    static void waitUntil(Clock::time_point deadline);

    bool m_enabled = false;
    // When the last octet sent reaches the host, and when the last one read
    // arrived.
    Clock::time_point m_sentArrives{};
    Clock::time_point m_receivedArrived{};
};

} // namespace board

// SPDX-License-Identifier: MIT
#include "line_pacer.h"

#include <algorithm>
#include <thread>

#include <sys/prctl.h>

namespace board {

LinePacer::LinePacer(bool enabled) : m_enabled(enabled)
{
    // The default slack of 50 us would make every sleep more than half an
    // octet late.
    if (m_enabled)
        ::prctl(PR_SET_TIMERSLACK, 1UL);
}

void LinePacer::sending()
{
    if (!m_enabled)
        return;
    waitUntil(m_sendFree);
    m_sendFree = Clock::now() + kOctetTime;
}

void LinePacer::received(std::size_t octets)
{
    if (!m_enabled)
        return;
    const Clock::time_point seen = Clock::now();
    m_receiveFree = std::max({m_receiveFree, m_sendFree, seen}) + kOctetTime * static_cast<long>(octets);
    waitUntil(m_receiveFree);
}

// The spin does not yield: on a busy machine a yield can hand the core away
// for far longer than the spin would have taken.
void LinePacer::waitUntil(Clock::time_point deadline)
{
    if (deadline - Clock::now() > kSpin)
        std::this_thread::sleep_until(deadline - kSpin);
    while (Clock::now() < deadline) {
    }
}

} // namespace board

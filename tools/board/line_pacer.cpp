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
    waitUntil(m_sentArrives);
    m_sentArrives = Clock::now() + kOctetTime;
}

void LinePacer::received(std::size_t octets)
{
    if (!m_enabled || octets == 0)
        return;
    const Clock::time_point first =
        std::max({m_receivedArrived + kOctetTime, m_sentArrives + kOctetTime, Clock::now()});
    m_receivedArrived = first + kOctetTime * static_cast<long>(octets - 1);
    waitUntil(m_receivedArrived);
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

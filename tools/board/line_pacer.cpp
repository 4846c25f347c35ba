// SPDX-License-Identifier: MIT
#include "line_pacer.h"

#include <algorithm>
#include <thread>

namespace board {

void LinePacer::pace(Clock::time_point &free, std::size_t octets)
{
    if (!m_enabled)
        return;
    free = std::max(free, Clock::now()) + kOctetTime * static_cast<long>(octets);
    std::this_thread::sleep_until(free);
}

} // namespace board

// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace board {

// Whether a host has the board's pseudo-terminal open, told by the opens and
// closes of its device. On a real wire what the board sends while nobody
// listens is lost; on a pseudo-terminal it would wait for the next host,
// and with no host at all fill the line until the board stops. Failures
// throw std::runtime_error.
class HostWatch
{
public:
    explicit HostWatch(const std::string &device);
    HostWatch(const HostWatch &) = delete;
    HostWatch &operator=(const HostWatch &) = delete;
    ~HostWatch();

    [[nodiscard]] bool hostPresent();

private:
    int m_watch = -1;
    int m_opens = 0;
};

} // namespace board

// SPDX-License-Identifier: MIT
#include "host_watch.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <sys/inotify.h>
#include <unistd.h>

namespace board {

HostWatch::HostWatch(const std::string &device)
    : m_watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_watch < 0 || ::inotify_add_watch(m_watch, device.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        const std::string reason = std::strerror(errno);
        if (m_watch >= 0)
            ::close(m_watch);
        throw std::runtime_error("cannot watch " + device + ": " + reason);
    }
}

HostWatch::~HostWatch()
{
    ::close(m_watch);
}

// The count never drops below zero: the kernel folds two opens in a row into
// one event when the first is still unread.
bool HostWatch::hostPresent()
{
    alignas(inotify_event) std::array<char, 4096> events{};
    ssize_t length = 0;
    while ((length = ::read(m_watch, events.data(), events.size())) > 0) {
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(events.data() + at);
            if (event->mask & IN_OPEN)
                ++m_opens;
            if (event->mask & IN_CLOSE)
                m_opens = m_opens > 0 ? m_opens - 1 : 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return m_opens > 0;
}

} // namespace board

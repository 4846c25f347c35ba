// SPDX-License-Identifier: MIT
#include "quit_signals.h"

#include "run_time_error.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <utility>

#include <sys/socket.h>
#include <unistd.h>

namespace kestrin {

namespace {

// The handler's end and the event loop's end of one socket pair.
std::array<int, 2> g_pair{-1, -1};
constexpr std::array<int, 2> kSignals{SIGINT, SIGTERM};
std::array<struct sigaction, 2> g_previous{};

extern "C" void onQuitSignal(int signal)
{
    const auto octet = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pair[0], &octet, 1);
}

} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pair.data()) != 0)
        throw RunTimeError(std::string("cannot catch SIGINT and SIGTERM: ") + std::strerror(errno));
    m_notifier = new QSocketNotifier(g_pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char octet = 0;
        if (::read(g_pair[1], &octet, 1) == 1)
            emit quitRequested(octet);
    });
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t index = 0; index < kSignals.size(); ++index)
        ::sigaction(kSignals[index], &action, &g_previous[index]);
}

QuitSignals::~QuitSignals()
{
    for (std::size_t index = 0; index < kSignals.size(); ++index)
        ::sigaction(kSignals[index], &g_previous[index], nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    for (int &end : g_pair)
        ::close(std::exchange(end, -1));
}

} // namespace kestrin

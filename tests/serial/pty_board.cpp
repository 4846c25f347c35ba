// SPDX-License-Identifier: MIT
#include "pty_board.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <array>
#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kestrin::testing {

constexpr std::size_t kChunk = 4096;
constexpr std::chrono::milliseconds kWakeUp{2};
constexpr std::chrono::microseconds kLandingPoll{20};

bool processEventsUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    QTimer wakeUp;
    wakeUp.start(kWakeUp);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

PtyBoard::PtyBoard()
{
    std::array<char, 256> name{};
    if (::openpty(&m_master, &m_slave, name.data(), nullptr, nullptr) != 0)
        return;
    // Raw at once: what the board writes before the host opens the line must
    // not be echoed or translated by the slave side's line discipline.
    termios settings{};
    ::tcgetattr(m_slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(m_slave, TCSANOW, &settings);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name.data());
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] {
        std::array<char, kChunk> chunk{};
        const ssize_t count = ::read(m_master, chunk.data(), chunk.size());
        if (count <= 0)
            return;
        const QByteArray octets(chunk.data(), count);
        m_received += octets;
        if (m_onReceived)
            m_onReceived(octets);
    });
}

bool PtyBoard::send(QByteArrayView octets)
{
    // The kernel hands written octets to the slave side a little later; wait
    // for all of them, so that the next send cannot join them into one
    // reception.
    const qsizetype landed = waitingForHost() + octets.size();
    const QDeadlineTimer deadline(kTimeout);
    while (waitingForHost() < landed) {
        const ssize_t count = ::write(m_master, octets.data(), static_cast<std::size_t>(octets.size()));
        if (count > 0)
            octets = octets.sliced(count);
        else if ((count < 0 && errno != EAGAIN) || deadline.hasExpired())
            return false;
        else
            std::this_thread::sleep_for(kLandingPoll);
    }
    return true;
}

int PtyBoard::waitingForHost() const
{
    int waiting = 0;
    return m_slave >= 0 && ::ioctl(m_slave, FIONREAD, &waiting) == 0 ? waiting : 0;
}

QByteArray PtyBoard::receive(qsizetype count, std::chrono::milliseconds timeout)
{
    processEventsUntil([&] { return m_received.size() >= count; }, timeout);
    const QByteArray taken = m_received.left(count);
    m_received.remove(0, taken.size());
    return taken;
}

QByteArray PtyBoard::receiveFor(std::chrono::milliseconds duration)
{
    processEventsUntil([] { return false; }, duration);
    return std::exchange(m_received, {});
}

void PtyBoard::hangUp()
{
    if (m_notifier != nullptr) {
        m_notifier->setEnabled(false);
        std::exchange(m_notifier, nullptr)->deleteLater();
    }
    for (int *descriptor : {&m_master, &m_slave}) {
        if (*descriptor >= 0)
            ::close(std::exchange(*descriptor, -1));
    }
}

} // namespace kestrin::testing

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

namespace {

constexpr std::size_t kChunk = 4096;
constexpr std::chrono::milliseconds kWakeUp{2};
constexpr std::chrono::microseconds kLandingPoll{20};

void deleteLater(QSocketNotifier *notifier)
{
    if (notifier != nullptr) {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
}

} // namespace

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

PtyBoard::PtyBoard() : m_notifier(nullptr, deleteLater)
{
    std::array<char, 256> name{};
    if (::openpty(&m_master, &m_slave, name.data(), nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    // Raw at once: what the board writes before the host opens the line must
    // not be echoed or translated by the slave side's line discipline.
    termios settings{};
    ::tcgetattr(m_slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(m_slave, TCSANOW, &settings);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name.data());
    m_notifier.reset(new QSocketNotifier(m_master, QSocketNotifier::Read));
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { readFromHost(); });
}

PtyBoard::~PtyBoard()
{
    hangUp();
}

bool PtyBoard::send(QByteArrayView octets)
{
    const int before = waitingForHost();
    const QDeadlineTimer deadline(kTimeout);
    qsizetype written = 0;
    while (written < octets.size()) {
        const ssize_t count = ::write(m_master, octets.data() + written,
                                      static_cast<std::size_t>(octets.size() - written));
        if (count > 0)
            written += count;
        else if ((count < 0 && errno != EAGAIN) || deadline.hasExpired())
            return false;
    }
    // The kernel hands the octets to the slave side a little later; wait for
    // them, so that the next send cannot join them into one reception.
    while (waitingForHost() < before + octets.size()) {
        if (deadline.hasExpired())
            return false;
        std::this_thread::sleep_for(kLandingPoll);
    }
    return true;
}

int PtyBoard::waitingForHost() const
{
    int waiting = 0;
    if (m_slave < 0 || ::ioctl(m_slave, FIONREAD, &waiting) != 0)
        return 0;
    return waiting;
}

bool PtyBoard::waitUntilRead(std::chrono::milliseconds timeout)
{
    return processEventsUntil([this] { return waitingForHost() == 0; }, timeout);
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

void PtyBoard::setOnReceived(std::function<void(const QByteArray &)> onReceived)
{
    m_onReceived = std::move(onReceived);
}

void PtyBoard::hangUp()
{
    m_notifier.reset();
    for (int *descriptor : {&m_master, &m_slave}) {
        if (*descriptor >= 0)
            ::close(std::exchange(*descriptor, -1));
    }
}

void PtyBoard::readFromHost()
{
    std::array<char, kChunk> chunk{};
    const ssize_t count = ::read(m_master, chunk.data(), chunk.size());
    if (count <= 0)
        return;
    const QByteArray octets(chunk.data(), count);
    m_received += octets;
    if (m_onReceived)
        m_onReceived(octets);
}

} // namespace kestrin::testing

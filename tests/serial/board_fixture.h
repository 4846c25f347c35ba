// SPDX-License-Identifier: MIT
#pragma once

#include "board_line.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace kestrin::test {

inline constexpr std::chrono::milliseconds kTimeout{5000};
inline constexpr std::chrono::milliseconds kQuiet{50};

// Processes events until done() holds or the time is up; returns done().
inline bool processEventsUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout = kTimeout)
{
    const QDeadlineTimer deadline(timeout);
    QTimer wakeUp; // looks at done() now and then, also when no event comes
    wakeUp.start(std::chrono::milliseconds(2));
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The display's board on kestrin-board's line, run by the test's own event
// loop: it hears the host whenever events are processed, in the host's
// yields between two octets too. The line's own descriptor of the host's
// side keeps it up until hangUp() and shows what the host has yet to read.
class Board
{
public:
    Board()
    {
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
            const QByteArray chunk = QByteArray::fromStdString(m_line->readSome({}));
            m_received += chunk;
            if (onReceived)
                onReceived(chunk);
        });
    }
    Q_DISABLE_COPY_MOVE(Board)

    [[nodiscard]] QString path() const { return QString::fromStdString(m_line->path()); }
    // Returns once the text waits in the host's queue: the kernel hands it
    // over a moment later, and the next text must not join it.
    [[nodiscard]] bool send(QByteArrayView text)
    {
        const int landed = m_line->waitingForHost() + static_cast<int>(text.size());
        m_line->write({text.data(), static_cast<std::size_t>(text.size())});
        const QDeadlineTimer deadline(kTimeout);
        while (m_line->waitingForHost() < landed && !deadline.hasExpired())
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        return m_line->waitingForHost() >= landed;
    }
    // One reception, read by the host before this returns.
    [[nodiscard]] bool sendRead(QByteArrayView text)
    {
        return send(text) && processEventsUntil([this] { return m_line->waitingForHost() == 0; });
    }
    // The same for a host in another process, which may read the text before
    // send() sees it land.
    [[nodiscard]] bool sendReadElsewhere(QByteArrayView text)
    {
        m_line->write({text.data(), static_cast<std::size_t>(text.size())});
        return m_line->waitUntilRead(kTimeout);
    }
    // Processes events until count octets came from the host and takes them; fewer on timeout.
    [[nodiscard]] QByteArray receive(qsizetype count)
    {
        processEventsUntil([&] { return m_received.size() >= count; });
        const QByteArray taken = m_received.first(std::min(count, m_received.size()));
        m_received.remove(0, taken.size());
        return taken;
    }
    // Processes events for a while and takes whatever came.
    [[nodiscard]] QByteArray receiveFor(std::chrono::milliseconds duration = kQuiet)
    {
        processEventsUntil([] { return false; }, duration);
        return std::exchange(m_received, {});
    }
    // Closes the line: for the host the device is gone. The notifier goes
    // later, as this may run inside its signal.
    void hangUp()
    {
        if (m_notifier) {
            m_notifier->setEnabled(false);
            m_notifier.release()->deleteLater();
        }
        m_line.reset();
    }

    // Called with every chunk from the host as it arrives.
    std::function<void(const QByteArray &)> onReceived;

private:
    std::optional<board::BoardLine> m_line{board::BoardLine::createPty()};
    std::unique_ptr<QSocketNotifier> m_notifier{
        std::make_unique<QSocketNotifier>(m_line->descriptor(), QSocketNotifier::Read)};
    QByteArray m_received;
};

} // namespace kestrin::test

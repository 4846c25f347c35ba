// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>

class QSocketNotifier;

namespace kestrin::testing {

// Processes events until done() holds or the time is up; returns done().
bool processEventsUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout);

// A pseudo-terminal whose master side plays the display board. The program
// under test opens slavePath(); everything runs on the test's one thread, so
// the board hears the host whenever events are processed, in the host's
// yields included.
//
// The board keeps its own descriptor of the slave side: the line stays up
// until hangUp(), and the host's input queue can be watched, so that every
// send() reaches the host as one reception.
class PtyBoard
{
public:
    static constexpr std::chrono::milliseconds kTimeout{5000};

    PtyBoard();
    ~PtyBoard() { hangUp(); }
    Q_DISABLE_COPY_MOVE(PtyBoard)

    [[nodiscard]] bool isOpen() const { return m_master >= 0; }
    [[nodiscard]] QString slavePath() const { return m_slavePath; }

    // Writes to the host and returns once the octets wait in the host's input
    // queue. False if they did not get there.
    [[nodiscard]] bool send(QByteArrayView octets);
    // Octets sent and not yet read by the host.
    [[nodiscard]] int waitingForHost() const;
    // Processes events until the host has read everything sent.
    [[nodiscard]] bool waitUntilRead(std::chrono::milliseconds timeout = kTimeout)
    {
        return processEventsUntil([this] { return waitingForHost() == 0; }, timeout);
    }
    // Processes events until count octets have come from the host and takes
    // them; fewer on timeout.
    [[nodiscard]] QByteArray receive(qsizetype count, std::chrono::milliseconds timeout = kTimeout);
    // Processes events for a while and takes whatever came.
    [[nodiscard]] QByteArray receiveFor(std::chrono::milliseconds duration);
    // Called with every chunk from the host as it arrives.
    void setOnReceived(std::function<void(const QByteArray &)> onReceived) { m_onReceived = std::move(onReceived); }
    // Closes both sides: for the host the device is gone.
    void hangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QByteArray m_received;
    QSocketNotifier *m_notifier = nullptr; // owned; deleted later, as hangUp() may run inside its signal
    std::function<void(const QByteArray &)> m_onReceived;
};

} // namespace kestrin::testing

// SPDX-License-Identifier: MIT
#pragma once

#include "line_control.h"

#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

namespace kestrin {

// The serial device of a port number: port n is /dev/ttyS(n-1) on Linux and
// COMn on Windows, so port 2 is /dev/ttyS1 or COM2. Throws RunTimeError
// for a number below 1.
[[nodiscard]] QString deviceForPort(int number);

// Whether a lost line on this device is opened again when the device returns.
// Not for pseudo-terminals, whose names the system hands out again.
[[nodiscard]] bool watchesForReturn(const QString &device);

// The program's communications control, MSComm1, over QSerialPort.
//
// A line that fails while open (the device unplugged, the far end of a
// pseudo-terminal closed) is closed at the first error and reported once on
// stderr. A device that cannot be opened at set-up is treated the same way.
// While lost, the device is tried again every reopenInterval().
class CommControl : public LineControl
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kReopenInterval{1000};

    // portTwoDevice, when given, replaces port 2's device (a USB adapter, a
    // pseudo-terminal).
    explicit CommControl(std::optional<QString> portTwoDevice = std::nullopt,
                         QObject *parent = nullptr);
    ~CommControl() override;

    void setCommPort(int number) override;
    void setSettings(std::string_view settings) override;
    void setRThreshold(int characters) override;
    void setInputLen(int characters) override;
    void setPortOpen(bool open) override;
    // Makes device port 2's device.
    void setDevice(const QString &device) override;
    [[nodiscard]] std::string input() override;
    [[nodiscard]] int commEvent() const override { return m_event; }
    void writeOctet(std::uint8_t octet) override;

    [[nodiscard]] LineState lineState() const override { return m_state; }
    [[nodiscard]] QString lineProblem() const override { return m_problem; }
    [[nodiscard]] bool awaitingReturn() const override { return m_reopenTimer.isActive(); }
    // The device the current port number names.
    [[nodiscard]] QString device() const override;

    void setReopenInterval(std::chrono::milliseconds interval) override;

private:
    // Written: the device took the octet. Queued: it must wait behind octets
    // already waiting, or the device's queue is full. Refused: the device
    // failed, or cannot be written to directly.
    enum class DirectWrite { Written, Queued, Refused };

    [[nodiscard]] DirectWrite writeDirectly(char character);
    void raiseIfDataWaiting();
    void raise(int code);
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void tryReopen();
    void opened();
    void setProblem(const QString &problem);
    [[nodiscard]] QString describe(const QString &what) const;

    QSerialPort m_port;
    QTimer m_reopenTimer;
    std::optional<QString> m_portTwoDevice;
    int m_portNumber = 1;
    int m_threshold = 0;
    int m_inputLength = 0;
    int m_event = 0;
    int m_openings = 0; // successful opens so far
    std::optional<QString> m_lostLink; // the lost line's link to a pseudo-terminal
    LineState m_state = LineState::Closed;
    QString m_problem;
};

} // namespace kestrin

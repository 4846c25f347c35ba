// SPDX-License-Identifier: MIT
#pragma once

#include "line_control.h"
#include "line_settings.h"
#include "network_address.h"
#include "telnet_codec.h"

#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <optional>
#include <string>

namespace kestrin {

// The communications control for a board behind a network serial bridge:
// one TCP connection to tcp://HOST:PORT (the line's octets as they are) or
// rfc2217://HOST:PORT (telnet, asking the bridge for the line's settings).
//
// A connection that is refused, closed or silent is a line that went away:
// it is reported once, the band shows it, and a new connection is tried
// every reopenInterval() until one holds. Silent means a connection attempt
// unanswered for kConnectTimeout, or an established one whose peer stops
// answering TCP keepalive probes or acknowledging data (about ten seconds).
// Every new connection raises lineReopened(): the board greets anew.
class NetworkControl : public LineControl
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kReopenInterval{1000};
    static constexpr std::chrono::milliseconds kConnectTimeout{3000};
    // A connection that ends sooner belongs to the outage already reported.
    static constexpr std::chrono::milliseconds kSettleTime{2000};

    // Throws RunTimeError for a name that is not a network board's.
    explicit NetworkControl(const QString &device, QObject *parent = nullptr);
    ~NetworkControl() override;

    // The address names the line; a port number selects nothing.
    void setCommPort(int number) override;
    // Kept for the bridge's telnet mode; in raw mode the line is the bridge's business.
    void setSettings(std::string_view settings) override;
    void setRThreshold(int characters) override;
    void setInputLen(int characters) override;
    // Opening starts connecting and returns; a refused connection is waited for.
    void setPortOpen(bool open) override;
    void setDevice(const QString &device) override;
    [[nodiscard]] std::string input() override;
    [[nodiscard]] int commEvent() const override { return m_event; }
    void writeOctet(std::uint8_t octet) override;

    [[nodiscard]] LineState lineState() const override { return m_state; }
    [[nodiscard]] QString lineProblem() const override { return m_problem; }
    [[nodiscard]] bool awaitingReturn() const override { return m_wanted && m_state != LineState::Open; }
    [[nodiscard]] QString device() const override { return m_device; }
    void setReopenInterval(std::chrono::milliseconds interval) override;

private:
    void connectNow();
    void connected();
    void readArrived();
    void failed(const QString &reason);
    void send(const std::string &octets);
    void setProblem(const QString &problem);
    [[nodiscard]] QString describe(const QString &what) const;

    QTcpSocket m_socket;
    QTimer m_retry;
    QTimer m_connectTimeout;
    QTimer m_settle;
    QString m_device;
    NetworkAddress m_address;
    LineSettings m_settings;
    std::optional<TelnetCodec> m_telnet; // the current connection's, in telnet mode
    std::string m_received;
    int m_threshold = 0;
    int m_inputLength = 0;
    int m_event = 0;
    bool m_wanted = false;     // opened, and not closed since
    bool m_connecting = false;
    bool m_outageReported = false;
    LineState m_state = LineState::Closed;
    QString m_problem;
};

} // namespace kestrin

// SPDX-License-Identifier: MIT
#include "network_control.h"

#include "handler_boundary.h"
#include "port_events.h"
#include "run_time_error.h"

#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace kestrin {

namespace {

// A peer that vanished (a bridge switched off, a cable pulled) never closes
// the connection; the kernel finds out: keepalive probes after 5 s idle, one
// a second, three unanswered; data unacknowledged for 10 s.
constexpr int kKeepAliveIdleSeconds = 5;
constexpr int kKeepAliveIntervalSeconds = 1;
constexpr int kKeepAliveProbes = 3;
constexpr int kUnacknowledgedMs = 10000;

void detectDeadPeer(qintptr descriptor)
{
#ifdef Q_OS_LINUX
    const auto set = [descriptor](int level, int name, int value) {
        (void)::setsockopt(static_cast<int>(descriptor), level, name, &value, sizeof value);
    };
    set(IPPROTO_TCP, TCP_KEEPIDLE, kKeepAliveIdleSeconds);
    set(IPPROTO_TCP, TCP_KEEPINTVL, kKeepAliveIntervalSeconds);
    set(IPPROTO_TCP, TCP_KEEPCNT, kKeepAliveProbes);
    set(IPPROTO_TCP, TCP_USER_TIMEOUT, kUnacknowledgedMs);
#else
    Q_UNUSED(descriptor);
#endif
}

} // namespace

NetworkControl::NetworkControl(const QString &device, QObject *parent) : LineControl(parent), m_device(device)
{
    const std::optional<NetworkAddress> address = networkAddress(device);
    if (!address)
        throw RunTimeError(describe(QStringLiteral("not a tcp:// or rfc2217:// name")).toStdString());
    m_address = *address;
    m_retry.setSingleShot(true);
    m_retry.setInterval(kReopenInterval);
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(kConnectTimeout);
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleTime);
    connect(&m_socket, &QTcpSocket::connected, this, &NetworkControl::connected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &NetworkControl::readArrived);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] { failed(m_socket.errorString()); });
    connect(&m_socket, &QTcpSocket::disconnected, this,
            [this] { failed(QStringLiteral("the bridge closed the connection")); });
    connect(&m_retry, &QTimer::timeout, this, &NetworkControl::connectNow);
    connect(&m_connectTimeout, &QTimer::timeout, this, [this] {
        failed(QStringLiteral("no answer within %1 s").arg(kConnectTimeout.count() / 1000));
        m_socket.abort();
    });
    connect(&m_settle, &QTimer::timeout, this, [this] { m_outageReported = false; });
}

NetworkControl::~NetworkControl()
{
    // The socket closes as it goes; nobody is left to hear about it.
    m_socket.disconnect(this);
}

void NetworkControl::setCommPort(int number)
{
    Q_UNUSED(number);
}

void NetworkControl::setSettings(std::string_view settings)
{
    m_settings = parseLineSettings(settings);
}

void NetworkControl::setRThreshold(int characters)
{
    if (characters < 0)
        throw RunTimeError(describe(QStringLiteral("receive threshold %1 is negative").arg(characters)).toStdString());
    m_threshold = characters;
}

void NetworkControl::setInputLen(int characters)
{
    if (characters < 0)
        throw RunTimeError(describe(QStringLiteral("input length %1 is negative").arg(characters)).toStdString());
    m_inputLength = characters;
}

void NetworkControl::setPortOpen(bool open)
{
    m_retry.stop();
    if (!open) {
        m_wanted = false;
        m_connecting = false;
        m_connectTimeout.stop();
        m_settle.stop();
        m_state = LineState::Closed;
        m_socket.abort();
        setProblem({});
        return;
    }
    if (m_wanted && (m_state == LineState::Open || m_connecting))
        return;
    m_wanted = true;
    connectNow();
}

void NetworkControl::setDevice(const QString &device)
{
    const std::optional<NetworkAddress> address = networkAddress(device);
    if (!address)
        throw RunTimeError(QStringLiteral("%1: not a tcp:// or rfc2217:// name").arg(device).toStdString());
    setPortOpen(false);
    m_device = device;
    m_address = *address;
    m_outageReported = false;
    setPortOpen(true);
    emit lineReopened();
}

std::string NetworkControl::input()
{
    if (m_state != LineState::Open)
        throw RunTimeError(describe(QStringLiteral("not open")).toStdString());
    const std::size_t count = m_inputLength == 0 ? m_received.size()
                                                 : std::min(m_received.size(), static_cast<std::size_t>(m_inputLength));
    std::string taken = m_received.substr(0, count);
    m_received.erase(0, count);
    return taken;
}

void NetworkControl::writeOctet(std::uint8_t octet)
{
    if (m_state != LineState::Open)
        throw RunTimeError(describe(QStringLiteral("not open")).toStdString());
    send(m_telnet ? TelnetCodec::encode(octet) : std::string(1, static_cast<char>(octet)));
}

void NetworkControl::setReopenInterval(std::chrono::milliseconds interval)
{
    m_retry.setInterval(interval);
}

void NetworkControl::connectNow()
{
    m_socket.abort();
    m_connecting = true;
    m_connectTimeout.start();
    m_socket.connectToHost(m_address.host, m_address.port);
}

void NetworkControl::connected()
{
    m_connecting = false;
    m_connectTimeout.stop();
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    detectDeadPeer(m_socket.socketDescriptor());
    m_received.clear();
    m_state = LineState::Open;
    m_settle.start();
    setProblem({});
    m_telnet.reset();
    if (m_address.protocol == NetworkAddress::Protocol::Telnet) {
        m_telnet.emplace(m_settings);
        send(m_telnet->opening());
    }
    emit lineReopened();
}

void NetworkControl::readArrived()
{
    const QByteArray arrived = m_socket.readAll();
    if (m_state != LineState::Open)
        return;
    const std::string_view octets(arrived.constData(), static_cast<std::size_t>(arrived.size()));
    if (m_telnet) {
        const TelnetCodec::Decoded decoded = m_telnet->decode(octets);
        if (!decoded.replies.empty())
            send(decoded.replies);
        m_received += decoded.data;
    } else {
        m_received += octets;
    }
    if (m_threshold > 0 && m_received.size() >= static_cast<std::size_t>(m_threshold)) {
        const int outer = std::exchange(m_event, comm_event::kReceive);
        emit OnComm();
        m_event = outer;
    }
}

// Refused, closed, reset or silent: the same outage until a connection has
// held for kSettleTime, told once however many tries it takes.
void NetworkControl::failed(const QString &reason)
{
    if (!m_connecting && m_state != LineState::Open)
        return;
    const bool wasOpen = m_state == LineState::Open;
    m_connecting = false;
    m_connectTimeout.stop();
    m_settle.stop();
    m_state = LineState::Lost;
    m_received.clear();
    setProblem(describe((wasOpen ? QStringLiteral("lost (%1); connecting again") : QStringLiteral("cannot connect (%1); trying again"))
                            .arg(reason)));
    if (!std::exchange(m_outageReported, true))
        reportHandlerError("network board", m_problem.toStdString());
    m_retry.start();
}

// While nothing waits in QTcpSocket's buffer, the octets go straight to the
// connection, as they do on a serial device: Qt's own way would hold them
// until the next turn of the event loop and switch its write notifier on and
// off around each. A full buffer or a failing connection takes Qt's way,
// which keeps the order and reports the failure.
void NetworkControl::send(const std::string &octets)
{
    std::size_t sent = 0;
#ifdef Q_OS_UNIX
    if (m_socket.bytesToWrite() == 0) {
        const ssize_t written = ::send(static_cast<int>(m_socket.socketDescriptor()), octets.data(), octets.size(),
                                       MSG_NOSIGNAL | MSG_DONTWAIT);
        sent = written > 0 ? static_cast<std::size_t>(written) : 0;
    }
#endif
    if (sent < octets.size())
        m_socket.write(octets.data() + sent, static_cast<qint64>(octets.size() - sent));
}

void NetworkControl::setProblem(const QString &problem)
{
    if (problem == m_problem)
        return;
    m_problem = problem;
    emit lineProblemChanged(m_problem);
}

QString NetworkControl::describe(const QString &what) const
{
    return QStringLiteral("Network board %1: %2").arg(m_device, what);
}

} // namespace kestrin

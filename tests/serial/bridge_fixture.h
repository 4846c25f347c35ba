// SPDX-License-Identifier: MIT
#pragma once

#include "board_fixture.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>

namespace kestrin::test {

// Debian's ser2net in front of a board's device, listening on a free
// loopback port: accepter "tcp" (raw) or "telnet(rfc2217),tcp", the
// connector's line settings in ser2net's words ("9600n82").
class Bridge
{
public:
    Bridge(const QString &accepter, const QString &device, const QString &settings = QStringLiteral("115200n81"))
    {
        QTcpServer probe;
        m_port = probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
        QFile config(m_directory.filePath(QStringLiteral("bridge.yaml")));
        if (config.open(QIODevice::WriteOnly))
            config.write(QStringLiteral("connection: &board\n  accepter: %1,127.0.0.1,%2\n"
                                        "  connector: serialdev,%3,%4,local\n")
                             .arg(accepter).arg(m_port).arg(device, settings).toUtf8());
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setStandardOutputFile(QProcess::nullDevice());
    }
    ~Bridge() { stop(); }
    Q_DISABLE_COPY_MOVE(Bridge)

    [[nodiscard]] static QString program()
    {
        return QStandardPaths::findExecutable(QStringLiteral("ser2net"), {"/usr/sbin", "/usr/bin", "/sbin", "/bin"});
    }
    [[nodiscard]] quint16 port() const { return m_port; }
    [[nodiscard]] QString url(const QString &scheme) const
    {
        return QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(m_port);
    }
    // Starts ser2net in the foreground; true once it listens.
    [[nodiscard]] bool start()
    {
        m_process.start(program(), {"-n", "-u", "-c", m_directory.filePath(QStringLiteral("bridge.yaml"))});
        return m_port != 0 && processEventsUntil([this] { return listening(); });
    }
    void stop()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished();
    }

private:
    // Whether a socket listens on the port: state 0A in /proc/net/tcp.
    [[nodiscard]] bool listening() const
    {
        QFile table(QStringLiteral("/proc/net/tcp"));
        const QByteArray wanted = QByteArray(":") + QByteArray::number(m_port, 16).toUpper().rightJustified(4, '0') + " 00000000:0000 0A";
        return table.open(QIODevice::ReadOnly) && table.readAll().contains(wanted);
    }

    QTemporaryDir m_directory;
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace kestrin::test

// SPDX-License-Identifier: MIT
#include "lcdproc_feed.h"

#include "listen_address.h"
#include "log_line.h"

#include <utility>

namespace kestrin {

LcdprocFeed::LcdprocFeed(QString listen, std::unique_ptr<FrameFeed> host, bool verbose, QObject *parent)
    : FrameFeed(parent), m_listen(std::move(listen)), m_host(std::move(host))
{
    m_server.setLog(logLine, verbose);
    connect(&m_server, &LcdprocServer::frameChanged, this, [this] { emit frameChanged(m_server.frame().toFrame()); });
    if (m_host) {
        connect(m_host.get(), &FrameFeed::frameChanged, this,
                [this](const FrameBuffer &frame) { m_server.setHostFrame(DisplayBitmap::fromFrame(frame)); });
    }
}

LcdprocFeed::~LcdprocFeed() = default;

void LcdprocFeed::start()
{
    const ListenAddress address = parseListenAddress(m_listen);
    if (m_host)
        m_host->start();
    m_server.listen(address.address, address.port);
    emit frameChanged(m_server.frame().toFrame());
}

QString LcdprocFeed::description() const
{
    const QString clients = QStringLiteral("LCDproc clients on %1:%2")
                                .arg(m_server.serverAddress().toString())
                                .arg(m_server.serverPort());
    return m_host ? clients + QStringLiteral(", and between their screens ") + m_host->description() : clients;
}

} // namespace kestrin

// SPDX-License-Identifier: MIT
#include "lcdproc_server.h"

#include "handler_boundary.h"
#include "run_time_error.h"

#include <QTcpSocket>

namespace kestrin {

namespace {

constexpr int kCommandsPerTurn = 16;
constexpr int kCommandsPerClientTurn = 4;
constexpr qint64 kReadChunk = 4096;
constexpr qint64 kSocketBuffer = 16 * 1024;
constexpr std::chrono::milliseconds kTickInterval{1000 / kTicksPerSecond};
constexpr std::chrono::milliseconds kRenderDelay{10};

QString peerOf(const QTcpSocket &socket)
{
    return QStringLiteral("%1:%2").arg(socket.peerAddress().toString()).arg(socket.peerPort());
}

} // namespace

LcdprocServer::LcdprocServer(QObject *parent)
    : QObject(parent), m_state([this](int client, const std::string &line) { send(client, line); })
{
    m_ticker.setTimerType(Qt::PreciseTimer);
    m_ticker.setInterval(kTickInterval);
    m_turn.setSingleShot(true);
    m_turn.setInterval(0);
    m_render.setSingleShot(true);
    m_render.setInterval(kRenderDelay);
    connect(&m_server, &QTcpServer::newConnection, this, [this] { runHandler("LCDproc connection", [this] { accept(); }); });
    connect(&m_ticker, &QTimer::timeout, this, [this] { runHandler("LCDproc tick", [this] { tick(); }); });
    connect(&m_turn, &QTimer::timeout, this, [this] { runHandler("LCDproc commands", [this] { handleTurn(); }); });
    connect(&m_render, &QTimer::timeout, this, [this] { runHandler("LCDproc drawing", [this] { renderFrame(); }); });
    m_frame = m_state.render();
}

LcdprocServer::~LcdprocServer()
{
    for (auto &[number, connection] : m_connections)
        connection->socket->disconnect(this);
}

void LcdprocServer::listen(const QHostAddress &address, quint16 port)
{
    // Room for every client at once in the system's queue of new connections.
    m_server.setListenBacklogSize(2 * kMaxClients);
    if (!m_server.listen(address, port)) {
        throw RunTimeError(QStringLiteral("cannot listen for LCDproc clients on %1 port %2: %3")
                               .arg(address.toString())
                               .arg(port)
                               .arg(m_server.errorString())
                               .toStdString());
    }
    m_ticker.start();
}

void LcdprocServer::setHostFrame(std::optional<DisplayBitmap> frame)
{
    m_hostFrame = std::move(frame);
    m_state.setServerScreenEnabled(!m_hostFrame.has_value());
    renderFrame();
}

void LcdprocServer::setLog(LogSink sink, bool verbose)
{
    m_log = std::move(sink);
    m_verbose = verbose;
}

void LcdprocServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (static_cast<int>(m_connections.size()) >= kMaxClients) {
            log(QStringLiteral("LCDproc client from %1 refused: %2 clients already").arg(peerOf(*socket)).arg(kMaxClients));
            socket->write("huh? Too many clients (at most 64)\n");
            socket->disconnectFromHost();
            continue;
        }
        const int number = m_nextNumber++;
        socket->setReadBufferSize(kSocketBuffer);
        socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, static_cast<int>(kSocketBuffer));
        auto connection = std::make_unique<Connection>();
        connection->socket = socket;
        connection->number = number;
        m_connections[number] = std::move(connection);
        m_state.connect(number);
        connect(socket, &QTcpSocket::readyRead, this, &LcdprocServer::scheduleTurn);
        connect(socket, &QTcpSocket::disconnected, this,
                [this, number] { runHandler("LCDproc client left", [this, number] { leave(number, QStringLiteral("left")); }); });
        log(QStringLiteral("LCDproc client %1 connected from %2").arg(number).arg(peerOf(*socket)));
    }
}

void LcdprocServer::scheduleTurn()
{
    if (!m_turn.isActive())
        m_turn.start();
}

// Serves the clients in turn, starting after the one served first last
// time, until the turn's budget is spent.
void LcdprocServer::handleTurn()
{
    std::vector<int> order;
    for (const auto &[number, connection] : m_connections)
        order.push_back(number);
    std::rotate(order.begin(), std::upper_bound(order.begin(), order.end(), m_lastServed), order.end());
    int budget = kCommandsPerTurn;
    bool more = false;
    for (const int number : order) {
        const auto found = m_connections.find(number);
        if (found == m_connections.end() || found->second->leaving)
            continue;
        if (budget == 0) {
            more = true;
            break;
        }
        const int count = std::min(budget, kCommandsPerClientTurn);
        budget -= count;
        m_lastServed = number;
        more = handleSome(*found->second, count) || more;
    }
    if (more)
        scheduleTurn();
    // What the commands changed shows soon, not only at the next tick; a
    // flood of them is drawn once in a while, not once a turn.
    if (!m_render.isActive())
        m_render.start();
}

// Handles up to count lines; true when the client has more waiting.
bool LcdprocServer::handleSome(Connection &connection, int count)
{
    const int number = connection.number;
    for (int handled = 0; handled < count;) {
        if (connection.lines.empty()) {
            const QByteArray bytes = connection.socket->read(kReadChunk);
            if (bytes.isEmpty())
                return false;
            connection.splitter.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                     connection.lines);
            continue;
        }
        const ClientLine line = std::move(connection.lines.front());
        connection.lines.pop_front();
        ++handled;
        if (m_verbose)
            log(QStringLiteral("LCDproc client %1: %2").arg(number).arg(QString::fromLatin1(line.text)));
        const AfterCommand after = m_state.handleLine(number, line);
        dropUnread();
        if (!m_connections.contains(number))
            return false;
        if (after == AfterCommand::Close) {
            leave(number, QStringLiteral("said bye"));
            return false;
        }
    }
    return !connection.lines.empty() || connection.socket->bytesAvailable() > 0;
}

// A client whose replies pile up is only marked here, inside the state's
// work; dropUnread() cuts it once that work is done.
void LcdprocServer::send(int client, const std::string &line)
{
    const auto found = m_connections.find(client);
    if (found == m_connections.end() || found->second->leaving)
        return;
    QTcpSocket *socket = found->second->socket;
    socket->write(line.data(), static_cast<qint64>(line.size()));
    socket->write("\n", 1);
    if (socket->bytesToWrite() > kMaxUnreadReplies) {
        found->second->leaving = true;
        m_unread.push_back(client);
    }
}

void LcdprocServer::leave(int client, const QString &why)
{
    const auto found = m_connections.find(client);
    if (found == m_connections.end())
        return;
    const std::unique_ptr<Connection> connection = std::move(found->second);
    m_connections.erase(found);
    m_state.disconnect(client);
    connection->socket->disconnect(this);
    connection->socket->disconnectFromHost();
    log(QStringLiteral("LCDproc client %1 %2").arg(client).arg(why));
}

void LcdprocServer::dropUnread()
{
    for (const int client : std::exchange(m_unread, {})) {
        const auto found = m_connections.find(client);
        if (found == m_connections.end())
            continue;
        QTcpSocket *socket = found->second->socket;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
        leave(client, QStringLiteral("dropped: %1 KiB of replies unread").arg(kMaxUnreadReplies / 1024));
    }
}

void LcdprocServer::tick()
{
    m_state.tick();
    dropUnread();
    renderFrame();
}

void LcdprocServer::renderFrame()
{
    DisplayBitmap frame = m_hostFrame && !m_state.showingClientScreen() ? *m_hostFrame : m_state.render();
    if (frame == m_frame)
        return;
    m_frame = frame;
    emit frameChanged();
}

void LcdprocServer::log(const QString &line) const
{
    if (m_log)
        m_log(line);
}

} // namespace kestrin

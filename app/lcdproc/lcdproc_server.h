// SPDX-License-Identifier: MIT
#pragma once

#include "display_bitmap.h"
#include "line_splitter.h"
#include "server_state.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QTcpSocket;

namespace kestrin {

// An LCDproc server on a TCP port: clients' screens, rendered onto the
// display's pixels 8 times a second and whenever commands change them (ServerState does the protocol; this
// class only moves lines between it and the sockets).
//
// Bounded whatever clients send: at most kMaxClients clients, a line of at
// most 8 KiB, and a client whose replies pile up unread beyond
// kMaxUnreadReplies is dropped. Commands are handled a small batch per turn
// of the event loop, so other work on the same loop (the board's pages)
// keeps its pace while clients flood the server.
class LcdprocServer : public QObject
{
    Q_OBJECT

public:
    using LogSink = std::function<void(const QString &line)>;

    static constexpr int kMaxClients = 64;
    static constexpr qint64 kMaxUnreadReplies = 64 * 1024;

    explicit LcdprocServer(QObject *parent = nullptr);
    ~LcdprocServer() override;

    // Throws RunTimeError naming the address and port when it cannot listen.
    void listen(const QHostAddress &address, quint16 port);
    [[nodiscard]] QHostAddress serverAddress() const { return m_server.serverAddress(); }
    [[nodiscard]] quint16 serverPort() const { return m_server.serverPort(); }

    // The screen shown now, rendered at the last tick.
    [[nodiscard]] DisplayBitmap frame() const { return m_frame; }
    [[nodiscard]] bool showingClientScreen() const { return m_state.showingClientScreen(); }
    // The host's own frame, shown instead of the server screen while no
    // client screen is up; nullopt brings the server screen back.
    void setHostFrame(std::optional<DisplayBitmap> frame);
    // One line per client that connects or leaves; with verbose, one per
    // command as well.
    void setLog(LogSink sink, bool verbose = false);

signals:
    // When frame() changed: at a tick, or within 10 ms of clients' commands
    // that changed it.
    void frameChanged();

private:
    struct Connection
    {
        QTcpSocket *socket = nullptr;
        int number = 0;
        LineSplitter splitter;
        std::deque<ClientLine> lines;
        bool leaving = false; // said bye, or is being dropped
    };

    void accept();
    void handleTurn();
    [[nodiscard]] bool handleSome(Connection &connection, int count);
    void tick();
    void send(int client, const std::string &line);
    void leave(int client, const QString &why);
    void dropUnread();
    void scheduleTurn();
    void renderFrame();
    void log(const QString &line) const;

    QTcpServer m_server;
    QTimer m_ticker;
    QTimer m_turn;
    QTimer m_render;
    ServerState m_state;
    std::map<int, std::unique_ptr<Connection>> m_connections;
    int m_nextNumber = 1;
    int m_lastServed = 0;
    std::vector<int> m_unread; // clients to drop once the state's work is done
    DisplayBitmap m_frame;
    std::optional<DisplayBitmap> m_hostFrame;
    LogSink m_log;
    bool m_verbose = false;
};

} // namespace kestrin

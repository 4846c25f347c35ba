// SPDX-License-Identifier: MIT
#include "lcdproc_server.h"

#include <QTcpSocket>
#include <QTest>

#include <memory>
#include <vector>

using namespace kestrin;

namespace {

QByteArray repeated(const char *pattern, int count)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += QByteArray(pattern).replace("%", QByteArray::number(i));
    return lines;
}

std::unique_ptr<QTcpSocket> connectTo(const LcdprocServer &server)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(server.serverAddress(), server.serverPort());
    return socket->waitForConnected(5000) ? std::move(socket) : nullptr;
}

} // namespace

class TestLcdprocServer : public QObject
{
    Q_OBJECT

private slots:
    void limits_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second"); // sent once the server had the first
        QTest::addColumn<int>("others");        // clients connected before this one
        QTest::addColumn<bool>("reads");
        QTest::addColumn<int>("lines");         // reply lines, when it reads them
        QTest::addColumn<QString>("last");      // its last reply; when it does not read, the last log line
        const QString connect = "connect LCDproc 0.5.9 protocol 0.3 lcd wid 20 hgt 4 cellwid 6 cellhgt 8";
        QTest::newRow("command split across reads") << QByteArray("he") << QByteArray("llo\n") << 0 << true << 1 << connect;
        QTest::newRow("line over 8 KiB skipped") << "hello\rnoop " + QByteArray(8200, 'x') << QByteArray("\nnoop\n") << 0 << true
                                                 << 3 << "noop complete";
        QTest::newRow("65th client") << QByteArray("hello\n") << QByteArray() << 64 << true << 1
                                     << "huh? Too many clients (at most 64)";
        QTest::newRow("65th screen") << "hello\n" + repeated("screen_add s%\n", 65) << QByteArray() << 0 << true << 66
                                     << "huh? Too many screens (at most 64 a client)";
        QTest::newRow("257th widget") << QByteArray("hello\nscreen_add s\n" + repeated("widget_add s w% string\n", 257)).replace('\n', '\0')
                                      << QByteArray()
                                      << 0 << true << 259 << "huh? Too many widgets (at most 256 a screen)";
        QTest::newRow("64 KiB of replies unread") << repeated("noop\n", 40000) << QByteArray() << 0 << false << 0
                                                  << "LCDproc client 1 dropped: 64 KiB of replies unread";
    }

    void limits()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(int, others);
        QFETCH(bool, reads);
        QFETCH(int, lines);
        QFETCH(QString, last);
        LcdprocServer server;
        QStringList log;
        server.setLog([&log](const QString &line) { log << line; });
        server.listen(QHostAddress::LocalHost, 0);
        std::vector<std::unique_ptr<QTcpSocket>> before;
        for (int i = 0; i < others; ++i) {
            before.push_back(connectTo(server));
            QTRY_COMPARE(log.size(), i + 1);
        }
        const auto client = connectTo(server);
        QVERIFY(client);
        if (!reads) {
            client->setReadBufferSize(1);
            client->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
        }
        client->write(first);
        QTest::qWait(100);
        client->write(second);
        QByteArrayList heard;
        const auto readAll = [&] {
            while (reads && client->canReadLine())
                heard << client->readLine().chopped(1);
            return heard.size();
        };
        if (!reads) {
            QTRY_COMPARE_WITH_TIMEOUT(log.last(), last, 20000);
            return;
        }
        QTRY_COMPARE(readAll(), lines);
        QCOMPARE(QString::fromLatin1(heard.last()), last);
        QTest::qWait(50);
        QCOMPARE(readAll(), lines);
    }
};

QTEST_GUILESS_MAIN(TestLcdprocServer)
#include "tst_lcdproc_server.moc"

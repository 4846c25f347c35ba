// SPDX-License-Identifier: MIT
// Debian's lcdproc client against kestrin serve's LCDproc feed: its CPU
// screen's words reach the board page by page, and the frame given to serve
// comes back once the client has gone.
#include "board_fixture.h"
#include "board_session.h"
#include "cell_reader.h"
#include "lcdproc_feed.h"
#include "still_feed.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>

using namespace kestrin;
using namespace kestrin::test;

namespace {

// The 122 x 32 pixels the board puts on its LCD from one round of requests.
DisplayBitmap boardShows(Board &board)
{
    FrameBuffer frame;
    for (int request = 0; request < 8; ++request) {
        if (!board.sendRead(QByteArray::number(request)))
            return {};
        const QByteArray page = board.receive(kPageColumns);
        for (int column = 0; column < int(page.size()); ++column)
            frame.write(pageForRequest(request), column, std::uint8_t(page[column]));
    }
    return DisplayBitmap::fromFrame(frame);
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class TestLcdprocFeed : public QObject
{
    Q_OBJECT

private slots:
    void clientsScreenOnTheBoard()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("lcdproc")).isEmpty())
            QSKIP("Debian's lcdproc client is not installed");
        FrameBuffer given;
        given.write(3, 30, 0x18);
        const QString port = QString::number(freePort());
        LcdprocFeed feed(port, std::make_unique<StillFeed>([given] { return given; }, "a frame", QStringList()), false);
        Board board;
        BoardSession session(board.path());
        connect(&feed, &FrameFeed::frameChanged, &session, &BoardSession::serveFrame);
        session.setUp();
        feed.start();
        QVERIFY(board.sendRead("0"));
        QTRY_COMPARE(boardShows(board), DisplayBitmap::fromFrame(given));
        QProcess client;
        client.start(QStringLiteral("lcdproc"), {"-s", "127.0.0.1", "-p", port, "-f", "-c", "/dev/null", "C"});
        const auto shown = [&board] { return readCells(boardShows(board)).join(u'/'); };
        QTRY_VERIFY_WITH_TIMEOUT(shown().contains("CPU") && shown().contains("Usr") && shown().contains("Nice")
                                     && shown().contains("Sys") && shown().contains("Idle"),
                                 10000);
        client.kill();
        client.waitForFinished();
        QTRY_COMPARE(boardShows(board), DisplayBitmap::fromFrame(given));
    }
};

QTEST_GUILESS_MAIN(TestLcdprocFeed)
#include "tst_lcdproc_feed.moc"

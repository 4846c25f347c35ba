// SPDX-License-Identifier: MIT
// A board behind Debian's ser2net, served by the board session over tcp://
// and rfc2217://: the request map, the line settings the bridge gives the
// board's device, and a bridge restarted mid-run.
#include "board_session.h"
#include "bridge_fixture.h"
#include "distinct_pages.h"
#include "frame_formats.h"
#include "handler_boundary.h"

#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace kestrin;
using namespace kestrin::test;

namespace {

QByteArray page(const FrameBuffer &frame, int request)
{
    return QByteArray::fromStdString(toBinary(frame).substr(std::size_t(kPageColumns * pageForRequest(request)), kPageColumns));
}

// The device's line as the board's side sees it: speed, data bits, parity,
// stop bits. (A pseudo-terminal always keeps 8 data bits and no parity.)
QPair<int, int> lineOf(const QString &device, const termios *set = nullptr)
{
    termios line{};
    const int descriptor = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ::tcgetattr(descriptor, &line);
    if (set != nullptr)
        ::tcsetattr(descriptor, TCSANOW, set);
    ::close(descriptor);
    return {int(::cfgetospeed(&line)), int(line.c_cflag & (CSIZE | PARENB | CSTOPB))};
}

} // namespace

class TestNetworkControl : public QObject
{
    Q_OBJECT

private slots:
    void servesThroughTheBridge_data()
    {
        QTest::addColumn<QString>("accepter");
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<int>("speed"); // the board's line once kestrin is connected
        QTest::addColumn<int>("frameBits");
        QTest::newRow("raw: the line is the bridge's, 9600 8N2") << "tcp" << "tcp" << int(B9600) << int(CS8 | CSTOPB);
        QTest::newRow("telnet: 115200 8N1 asked for") << "telnet(rfc2217),tcp" << "rfc2217" << int(B115200) << int(CS8);
    }

    // Every page of the map through the bridge, 0xFF and CR among them; the
    // greeting and request 9 unanswered. Then the bridge restarts: the loss
    // is told once however many tries it takes, and the board greets anew.
    void servesThroughTheBridge()
    {
        QFETCH(QString, accepter);
        QFETCH(QString, scheme);
        QFETCH(int, speed);
        QFETCH(int, frameBits);
        if (Bridge::program().isEmpty())
            QSKIP("ser2net is not installed");
        Board board;
        termios slow{};
        ::cfmakeraw(&slow);
        ::cfsetspeed(&slow, B300);
        (void)lineOf(board.path(), &slow);
        Bridge bridge(accepter, board.path(), "9600n82");
        QVERIFY(bridge.start());

        QStringList reports;
        const ErrorReporter previous = setErrorReporter([&](std::string_view handler, std::string_view message) {
            reports.append(QString::fromUtf8(handler) + ": " + QString::fromUtf8(message));
        });
        const FrameBuffer frame = testing::distinctPages();
        BoardSession session(bridge.url(scheme), frame);
        QSignalSpy reopened(&session.control(), &LineControl::lineReopened);
        session.control().setReopenInterval(std::chrono::milliseconds(100));
        session.setUp();
        const auto greet = [&](const QByteArray &text) {
            return board.sendReadElsewhere(text)
                   && processEventsUntil([&] { return !session.link().state().firstReceptionPending; });
        };
        QVERIFY(greet("0"));
        QVERIFY(processEventsUntil([&] { return lineOf(board.path()) == qMakePair(speed, frameBits); }));
        for (int request = 0; request < int(kRequestMap.size()); ++request) {
            QVERIFY(board.sendReadElsewhere(QByteArray::number(request)));
            QCOMPARE(board.receive(kPageColumns), page(frame, request));
        }
        QVERIFY(board.sendReadElsewhere("9"));
        QCOMPARE(board.receiveFor(), QByteArray());

        bridge.stop();
        QVERIFY(processEventsUntil([&] { return session.control().lineState() == LineControl::LineState::Lost; }));
        QTest::qWait(500);
        QVERIFY(!session.control().lineProblem().isEmpty());
        QVERIFY(bridge.start());
        QVERIFY(processEventsUntil([&] { return reopened.size() == 2 && session.control().portOpen(); }));
        QVERIFY(greet("3"));
        QCOMPARE(board.receiveFor(), QByteArray());
        QVERIFY(board.sendReadElsewhere("3"));
        QCOMPARE(board.receive(kPageColumns), page(frame, 3));
        QCOMPARE(session.control().lineProblem(), QString());
        setErrorReporter(previous);
        QCOMPARE(reports, (QStringList{"port event: " + bridge.url(scheme) + ": request 9 is outside 0..8",
                                       "network board: Network board " + bridge.url(scheme)
                                           + ": lost (The remote host closed the connection); connecting again"}));
    }
};

QTEST_GUILESS_MAIN(TestNetworkControl)
#include "tst_network_control.moc"

// SPDX-License-Identifier: MIT
// The serial link on the real control, over a pseudo-terminal whose master
// side plays the board.
#include "comm_control.h"
#include "handler_boundary.h"
#include "distinct_pages.h"
#include "pty_board.h"
#include "serial_link.h"

#include <QTest>


using namespace kestrin;

namespace {

constexpr std::chrono::milliseconds kQuiet{30};
constexpr int kNoStart = -1;

const FrameBuffer kPages = testing::distinctPages();

QByteArray pageOctets(const QList<int> &pages)
{
    QByteArray octets;
    for (const int page : pages) {
        for (int column = 0; column < kPageColumns; ++column)
            octets.append(static_cast<char>(kPages.read(page, column)));
    }
    return octets;
}

// The program's serial side as the window wires it.
struct Line
{
    Line()
    {
        QObject::connect(&control, &CommControl::OnComm,
                         [this] { runHandler("port event", [this] { link.portEvent(); }); });
        link.setUp();
    }

    // One reception, read by the host before this returns.
    [[nodiscard]] bool send(QByteArrayView text) { return board.send(text) && board.waitUntilRead(); }

    testing::PtyBoard board;
    CommControl control{board.slavePath()};
    SerialLink link{control, kPages, [this] { return control.yieldToEventLoop(); }};
};

} // namespace

class TestSerialLine : public QObject
{
    Q_OBJECT

private slots:
    void receptions_data();
    void receptions();
    void requestsDuringAServeNestUpToTheBound();
};

void TestSerialLine::receptions_data()
{
    QTest::addColumn<QByteArrayList>("receptions");
    QTest::addColumn<int>("startAfter");
    QTest::addColumn<QList<int>>("pages");

    QTest::newRow("greeting gets no answer") << QByteArrayList{"7"} << kNoStart << QList<int>{};
    QTest::newRow("text first: greeting pending") << QByteArrayList{"hello", "4", "1"} << kNoStart << QList<int>{0};
    QTest::newRow("1 and 8 are page 0") << QByteArrayList{"0", "1", "8"} << kNoStart << QList<int>{0, 0};
    QTest::newRow("blanks around 3") << QByteArrayList{"0", " 3 "} << kNoStart << QList<int>{6};
    QTest::newRow("9, -1, 12, abc: nothing; 2 still served")
        << QByteArrayList{"0", "9", "-1", "12", "abc", "2"} << kNoStart << QList<int>{1};
    QTest::newRow("Start before the greeting") << QByteArrayList{"1", "8"} << 0 << QList<int>{kStartPage, 0};
    QTest::newRow("Start after the greeting") << QByteArrayList{"0", "1", "8"} << 1 << QList<int>{kStartPage, 0, 0};
}

void TestSerialLine::receptions()
{
    QFETCH(QByteArrayList, receptions);
    QFETCH(int, startAfter);
    QFETCH(QList<int>, pages);

    Line line;
    for (qsizetype index = 0; index < receptions.size(); ++index) {
        if (index == startAfter)
            sendStartPage(kPages, line.control);
        QVERIFY(line.send(receptions[index]));
    }
    const QByteArray expected = pageOctets(pages);
    QCOMPARE(line.board.receive(expected.size()), expected);
    QCOMPARE(line.board.receiveFor(kQuiet), QByteArray());
}

// The board asks again as soon as the host has read its last request, so
// each request lands in the middle of a page: it must be served there, whole,
// before that page resumes; past the bound, requests wait their turn. In
// pages 0..3 every octet names its page and column, so the nesting can be
// read back off the wire.
void TestSerialLine::requestsDuringAServeNestUpToTheBound()
{
    constexpr int kRequests = 150;
    constexpr std::array<int, 4> kCycle{1, 5, 2, 6}; // pages 0, 2, 1, 3
    Line line;
    QVERIFY(line.send("0"));

    QList<int> sent;
    const auto sendNext = [&] {
        const int request = kCycle[static_cast<std::size_t>(sent.size()) % kCycle.size()];
        QVERIFY(line.board.send(QByteArray::number(request)));
        sent.append(kRequestMap[static_cast<std::size_t>(request)]);
    };
    line.board.setOnReceived([&](const QByteArray &) {
        if (sent.size() < kRequests && line.board.waitingForHost() == 0)
            sendNext();
    });
    sendNext();
    const QByteArray wire = line.board.receive(qsizetype{kRequests} * kPageColumns, std::chrono::seconds(20));
    QCOMPARE(wire.size(), qsizetype{kRequests} * kPageColumns);

    QList<std::pair<int, int>> open; // page, next column
    QList<int> started;
    int depth = 0;
    for (qsizetype at = 0; at < wire.size(); ++at) {
        const auto octet = static_cast<std::uint8_t>(wire[at]);
        const std::pair<int, int> seen{octet / kPageColumns, octet % kPageColumns};
        if (seen.second == 0) {
            open.emplace_back(seen.first, 0);
            started.append(seen.first);
            depth = std::max(depth, static_cast<int>(open.size()));
        }
        QVERIFY2(!open.empty() && open.back() == seen, qPrintable(QString("octet %1 breaks the nesting").arg(at)));
        if (++open.back().second == kPageColumns)
            open.pop_back();
    }
    QCOMPARE(started, sent);
    QCOMPARE(depth, SerialLink::kMaxServeDepth);
    QCOMPARE(line.board.receiveFor(kQuiet), QByteArray());
}

QTEST_GUILESS_MAIN(TestSerialLine)
#include "tst_serial_line.moc"

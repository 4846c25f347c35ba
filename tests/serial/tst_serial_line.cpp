// SPDX-License-Identifier: MIT
// The serial link on the real control, over a pseudo-terminal whose master
// side plays the board.
#include "comm_control.h"
#include "handler_boundary.h"
#include "pty_board.h"
#include "run_time_error.h"
#include "serial_link.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <vector>

using namespace kestrin;
using kestrin::testing::PtyBoard;
using kestrin::testing::processEventsUntil;

namespace {

constexpr std::chrono::milliseconds kQuiet{30};

// Page p, column c holds p * 61 + c (mod 256): the pages carry every octet value.
FrameBuffer countingPages()
{
    FrameBuffer buffer;
    for (int page = 0; page < kPageCount; ++page) {
        for (int column = 0; column < kPageColumns; ++column)
            buffer.write(page, column, static_cast<std::uint8_t>((page * kPageColumns + column) % 256));
    }
    return buffer;
}

// Pages 0..3 hold 64 * page + column, so every octet names its page and column.
FrameBuffer taggedPages()
{
    FrameBuffer buffer;
    for (int page = 0; page < 4; ++page) {
        for (int column = 0; column < kPageColumns; ++column)
            buffer.write(page, column, static_cast<std::uint8_t>(64 * page + column));
    }
    return buffer;
}

QByteArray pageOctets(const FrameBuffer &buffer, int page)
{
    QByteArray octets;
    for (int column = 0; column < kPageColumns; ++column)
        octets.append(static_cast<char>(buffer.read(page, column)));
    return octets;
}

double processorSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// The program's serial side as the window wires it, on a pseudo-terminal
// (or a link to one, to let the device come back).
struct Line
{
    explicit Line(FrameBuffer pages, std::optional<QString> device = std::nullopt)
        : buffer(pages), control(device ? *device : board.slavePath())
    {
        previousReporter = setErrorReporter([this](std::string_view handler, std::string_view message) {
            reports.append(QString::fromUtf8(handler.data(), static_cast<qsizetype>(handler.size())) + ": "
                           + QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
        });
        QObject::connect(&control, &CommControl::OnComm, [this] {
            runHandler("port event", [this] { link.portEvent(); });
        });
        QObject::connect(&control, &CommControl::lineReopened, [this] { link.resetProtocol(); });
        link.setUp();
    }
    ~Line() { setErrorReporter(previousReporter); }

    // One reception, read by the host before this returns.
    [[nodiscard]] bool send(QByteArrayView text) { return board.send(text) && board.waitUntilRead(); }

    PtyBoard board;
    FrameBuffer buffer;
    CommControl control;
    SerialLink link{control, buffer, [this] { return control.yieldToEventLoop(); }};
    QStringList reports;
    ErrorReporter previousReporter;
};

} // namespace

class TestSerialLine : public QObject
{
    Q_OBJECT

private slots:
    void receptions_data();
    void receptions();
    void startSendsPageFour_data();
    void startSendsPageFour();
    void requestDuringServeIsServedInside();
    void floodIsBoundedAndServedInArrivalOrder();
    void lostDeviceIsReportedOnce();
    void deviceThatComesBackIsGreetedAgain();
};

void TestSerialLine::receptions_data()
{
    QTest::addColumn<QByteArrayList>("receptions");
    QTest::addColumn<QList<int>>("pages");
    QTest::addColumn<int>("reports");

    QTest::newRow("greeting gets no answer") << QByteArrayList{"7"} << QList<int>{} << 0;
    QTest::newRow("second reception 1 is page 0") << QByteArrayList{"0", "1"} << QList<int>{0} << 0;
    QTest::newRow("text first leaves the greeting pending")
        << QByteArrayList{"hello", "4", "1"} << QList<int>{0} << 1;
    QTest::newRow("8 is page 0") << QByteArrayList{"0", "8"} << QList<int>{0} << 0;
    QTest::newRow("blanks around 3") << QByteArrayList{"0", " 3 "} << QList<int>{6} << 0;
    QTest::newRow("9, -1, 12 and abc get nothing")
        << QByteArrayList{"0", "9", "-1", "12", "abc"} << QList<int>{} << 4;
    QTest::newRow("a rejected request leaves the next one served")
        << QByteArrayList{"0", "abc", "9", "2"} << QList<int>{1} << 2;
    QTest::newRow("display order") << QByteArrayList{"0", "1", "5", "2", "6", "7", "3", "0", "4"}
                                   << QList<int>{0, 2, 1, 3, 4, 6, 5, 7} << 0;
}

void TestSerialLine::receptions()
{
    QFETCH(QByteArrayList, receptions);
    QFETCH(QList<int>, pages);
    QFETCH(int, reports);

    Line line(countingPages());
    for (const QByteArray &text : receptions)
        QVERIFY(line.send(text));

    QByteArray expected;
    for (const int page : pages)
        expected += pageOctets(line.buffer, page);
    QCOMPARE(line.board.receive(expected.size()), expected);
    QCOMPARE(line.board.receiveFor(kQuiet), QByteArray());
    QVERIFY2(line.reports.size() == reports, qPrintable(line.reports.join('\n')));
    for (const QString &report : std::as_const(line.reports))
        QVERIFY2(report.startsWith("port event: "), qPrintable(report));
}

void TestSerialLine::startSendsPageFour_data()
{
    QTest::addColumn<bool>("greeted");
    QTest::addColumn<QList<int>>("pagesAfter");

    QTest::newRow("before the greeting") << false << QList<int>{0};
    QTest::newRow("after the greeting") << true << QList<int>{0, 0};
}

// Start pushes page 4 and leaves the protocol alone: "1" then "8" afterwards
// are a greeting and a request where the greeting was pending, two requests
// where it was not.
void TestSerialLine::startSendsPageFour()
{
    QFETCH(bool, greeted);
    QFETCH(QList<int>, pagesAfter);

    Line line(countingPages());
    if (greeted)
        QVERIFY(line.send("0"));
    sendStartPage(line.buffer, line.control);
    QCOMPARE(line.board.receive(kPageColumns), pageOctets(line.buffer, kStartPage));

    QVERIFY(line.send("1"));
    QVERIFY(line.send("8"));
    QByteArray expected;
    for (const int page : std::as_const(pagesAfter))
        expected += pageOctets(line.buffer, page);
    QCOMPARE(line.board.receive(expected.size()), expected);
    QCOMPARE(line.board.receiveFor(kQuiet), QByteArray());
}

void TestSerialLine::requestDuringServeIsServedInside()
{
    constexpr int kInjectAfter = 10;
    Line line(taggedPages());
    QVERIFY(line.send("0"));
    int heard = 0;
    bool injected = false;
    line.board.setOnReceived([&](const QByteArray &chunk) {
        heard += static_cast<int>(chunk.size());
        if (!injected && heard >= kInjectAfter)
            injected = line.board.send("5");
    });
    QVERIFY(line.board.send("1"));

    const QByteArray outer = pageOctets(line.buffer, 0);
    const QByteArray inner = pageOctets(line.buffer, 2);
    const QByteArray wire = line.board.receive(2 * kPageColumns);
    QVERIFY(injected);
    const qsizetype split = wire.indexOf(inner.front());
    QVERIFY2(split >= kInjectAfter && split < kPageColumns, qPrintable(QString::number(split)));
    QCOMPARE(wire, outer.first(split) + inner + outer.sliced(split));
    QCOMPARE(line.board.receiveFor(kQuiet), QByteArray());
    QVERIFY(line.reports.isEmpty());
}

// The board asks again as soon as the host has read its last request, so
// serves nest until the bound and the rest wait their turn. Every octet names
// its page and column, so the wire can be taken apart again.
void TestSerialLine::floodIsBoundedAndServedInArrivalOrder()
{
    constexpr int kRequests = 150;
    constexpr std::array<int, 4> kCycle{1, 5, 2, 6}; // pages 0, 2, 1, 3
    Line line(taggedPages());
    QVERIFY(line.send("0"));

    QList<int> sent;
    bool sendFailed = false;
    const auto sendNext = [&] {
        const int request = kCycle[static_cast<std::size_t>(sent.size()) % kCycle.size()];
        sendFailed |= !line.board.send(QByteArray::number(request));
        sent.append(kRequestMap[static_cast<std::size_t>(request)]);
    };
    line.board.setOnReceived([&](const QByteArray &) {
        if (sent.size() < kRequests && line.board.waitingForHost() == 0)
            sendNext();
    });
    sendNext();
    const QByteArray wire = line.board.receive(qsizetype{kRequests} * kPageColumns, std::chrono::seconds(20));
    QVERIFY(!sendFailed);
    QCOMPARE(wire.size(), qsizetype{kRequests} * kPageColumns);

    struct Open
    {
        int page;
        int column;
    };
    std::vector<Open> stack;
    QList<int> started;
    std::size_t deepest = 0;
    for (qsizetype at = 0; at < wire.size(); ++at) {
        const auto octet = static_cast<std::uint8_t>(wire[at]);
        const Open seen{octet / 64, octet % 64};
        if (seen.column == 0) {
            stack.push_back(seen);
            started.append(seen.page);
            deepest = std::max(deepest, stack.size());
        } else {
            QVERIFY2(!stack.empty() && stack.back().page == seen.page
                         && stack.back().column + 1 == seen.column,
                     qPrintable(QString("octet %1 breaks the nesting").arg(at)));
            stack.back().column = seen.column;
        }
        if (stack.back().column == kPageColumns - 1)
            stack.pop_back();
    }
    QVERIFY(stack.empty());
    QCOMPARE(started, sent);
    QCOMPARE(deepest, std::size_t{SerialLink::kMaxServeDepth});
    QCOMPARE(line.link.waitingRequests(), std::size_t{0});
    QCOMPARE(line.board.receiveFor(kQuiet), QByteArray());
    QVERIFY2(line.reports.isEmpty(), qPrintable(line.reports.join('\n')));
}

// The board hangs up in the middle of a page. Qt would report the failed read
// at every turn of the event loop; the control closes the port at the first.
void TestSerialLine::lostDeviceIsReportedOnce()
{
    Line line(countingPages());
    QSignalSpy problems(&line.control, &CommControl::lineProblemChanged);
    QVERIFY(line.send("0"));
    line.board.setOnReceived([&](const QByteArray &) { line.board.hangUp(); });
    QVERIFY(line.board.send("1"));

    QVERIFY(processEventsUntil([&] { return !line.control.portOpen(); }, PtyBoard::kTimeout));
    const double processorBefore = processorSeconds();
    bool timerFired = false;
    QTimer::singleShot(std::chrono::milliseconds(250), [&] { timerFired = true; });
    processEventsUntil([] { return false; }, std::chrono::milliseconds(300));
    const double processorSpent = processorSeconds() - processorBefore;

    QVERIFY(timerFired);
    QVERIFY2(processorSpent < 0.15, qPrintable(QString::number(processorSpent)));
    QCOMPARE(line.control.lineState(), CommControl::LineState::Lost);
    // A pseudo-terminal's number is handed out again: never reopened.
    QVERIFY(!line.control.awaitingReturn());
    QCOMPARE(line.reports.size(), 1);
    QVERIFY2(line.reports.front().startsWith("serial port: Serial port " + line.board.slavePath()),
             qPrintable(line.reports.front()));
    QCOMPARE(problems.size(), 1);
    QCOMPARE(problems.front().front().toString(), line.control.lineProblem());
    QVERIFY_THROWS_EXCEPTION(RunTimeError, line.control.writeOctet(0));
}

// A device that reappears under its name is opened again, and the board on it
// is expected to greet first.
void TestSerialLine::deviceThatComesBackIsGreetedAgain()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString device = directory.filePath("line");
    auto first = std::make_unique<PtyBoard>();
    QVERIFY(QFile::link(first->slavePath(), device));

    Line line(countingPages(), device);
    line.control.setReopenInterval(std::chrono::milliseconds(20));
    QSignalSpy problems(&line.control, &CommControl::lineProblemChanged);
    QSignalSpy reopened(&line.control, &CommControl::lineReopened);
    // The fixture's own board is not the one on the line; the first board is.
    QVERIFY(first->send("0") && first->waitUntilRead());
    first->hangUp();
    // Gone for good until it is linked again: the number of the closed
    // pseudo-terminal may go to someone else's at any moment.
    QVERIFY(QFile::remove(device));
    QVERIFY(processEventsUntil([&] { return !line.control.portOpen(); }, PtyBoard::kTimeout));
    QVERIFY(line.control.awaitingReturn());
    processEventsUntil([] { return false; }, std::chrono::milliseconds(60));
    QCOMPARE(reopened.size(), 0);

    PtyBoard second;
    QVERIFY(QFile::link(second.slavePath(), device));
    QVERIFY(reopened.wait(static_cast<int>(PtyBoard::kTimeout.count())));
    QCOMPARE(line.control.lineState(), CommControl::LineState::Open);
    QCOMPARE(line.reports.size(), 2);
    QVERIFY2(line.reports.back().contains("back"), qPrintable(line.reports.back()));
    QCOMPARE(problems.size(), 2);
    QCOMPARE(problems.back().front().toString(), QString());

    QVERIFY(second.send("1") && second.waitUntilRead());
    QCOMPARE(second.receiveFor(kQuiet), QByteArray());
    QVERIFY(second.send("1") && second.waitUntilRead());
    QCOMPARE(second.receive(kPageColumns), pageOctets(line.buffer, 0));
}

QTEST_GUILESS_MAIN(TestSerialLine)
#include "tst_serial_line.moc"

// SPDX-License-Identifier: MIT
// Faults of the device and the line against the real program: the board
// hanging up in the middle of a page, writes that fail on the direct path and
// behind QSerialPort's buffer, a transmit queue that fills up, and a device
// that comes back.
#include "program.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <ctime>

using namespace kestrin;
using namespace kestrin::testing;
using kestrin::test::Program;
using LineState = CommControl::LineState;

namespace {

constexpr std::chrono::milliseconds kQuiet{50};
constexpr std::chrono::milliseconds kShortReopen{20};
// Far more than a pseudo-terminal's queue holds (about 20 KB on Linux), so
// the rest must wait in QSerialPort's buffer.
constexpr int kStartsBeyondTheQueue = 1000;

// The line has gone, or is going, down: it must end up lost and not awaited
// (a pseudo-terminal's number is handed out again), the loss reported once
// next to the other reports expected, nothing spinning in the event loop,
// and the next Start failing clearly.
void checkLostOnce(Program &program, qsizetype otherReports)
{
    const QString device = program.board.slavePath();
    const CommControl &control = program.window->commControl();
    QVERIFY(processEventsUntil([&] { return control.lineState() != LineState::Open; }, PtyBoard::kTimeout));
    bool timerFired = false;
    QTimer::singleShot(std::chrono::milliseconds(200), [&] { timerFired = true; });
    const std::clock_t before = std::clock();
    processEventsUntil([] { return false; }, std::chrono::milliseconds(250));
    const double spent = static_cast<double>(std::clock() - before) / CLOCKS_PER_SEC;
    QVERIFY2(timerFired && spent < 0.15, qPrintable(QString::number(spent)));
    QCOMPARE(control.lineState(), LineState::Lost);
    QVERIFY(!control.awaitingReturn());
    QVERIFY2(program.reports.size() == otherReports + 1
                 && program.reports.front().startsWith("serial port: Serial port " + device + ": lost"),
             qPrintable(program.reports.join('\n')));

    program.click("Command4");
    QCOMPARE(program.reports.back(), "Start: Serial port " + device + ": not open");
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void hangUpInTheMiddleOfAPage();
    void failingWrite_data();
    void failingWrite();
    void fullQueueWaitsInsteadOfFailing();
    void deviceThatReappearsIsGreetedAgain();
};

void TestFaults::hangUpInTheMiddleOfAPage()
{
    constexpr int kHangUpAfter = 30;
    Program program;
    QVERIFY(program.board.send("0") && program.board.waitUntilRead());
    int heard = 0;
    program.board.setOnReceived([&](const QByteArray &chunk) {
        heard += static_cast<int>(chunk.size());
        if (heard >= kHangUpAfter)
            program.board.hangUp();
    });
    QVERIFY(program.board.send("1"));
    checkLostOnce(program, 0);
}

void TestFaults::failingWrite_data()
{
    QTest::addColumn<int>("startsBefore");
    QTest::newRow("direct write: known before Start returns") << 0;
    QTest::newRow("behind a full queue: found in the event loop") << kStartsBeyondTheQueue;
}

void TestFaults::failingWrite()
{
    QFETCH(int, startsBefore);
    Program program;
    for (int press = 0; press < startsBefore; ++press)
        program.click("Command4");
    program.board.hangUp();
    program.click("Command4");
    // The direct write fails at once; octets behind a queue fail later.
    QVERIFY(startsBefore == 0 ? program.window->commControl().lineState() == LineState::Lost
                              : program.reports.isEmpty());
    checkLostOnce(program, startsBefore == 0 ? 1 : 0);
}

// Start pressed far faster than the board reads: what the device cannot take
// yet waits, the line stays up, and every octet arrives in order.
void TestFaults::fullQueueWaitsInsteadOfFailing()
{
    Program program;
    program.click("Command3");
    for (int press = 0; press < kStartsBeyondTheQueue; ++press)
        program.click("Command4");
    QByteArray page;
    for (int column = 0; column < kPageColumns; ++column)
        page.append(static_cast<char>(program.window->frameBuffer().read(kStartPage, column)));
    QCOMPARE(program.board.receive(page.size() * kStartsBeyondTheQueue), page.repeated(kStartsBeyondTheQueue));
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
    QVERIFY2(program.reports.isEmpty(), qPrintable(program.reports.join('\n')));
}

// Through the window's wiring: a device that comes back under its name is
// opened again, reported once however many tries it took, and the first
// reception on it is a greeting, not a request.
void TestFaults::deviceThatReappearsIsGreetedAgain()
{
    const QTemporaryDir directory;
    const QString device = directory.filePath(QStringLiteral("line"));
    PtyBoard first;
    QVERIFY(QFile::link(first.slavePath(), device));
    Program program(device);
    CommControl &control = program.window->commControl();
    control.setReopenInterval(kShortReopen);
    QSignalSpy reopened(&control, &CommControl::lineReopened);
    QVERIFY(first.send("0") && first.waitUntilRead());

    first.hangUp();
    QVERIFY(QFile::remove(device));
    QVERIFY(processEventsUntil([&] { return control.awaitingReturn(); }, PtyBoard::kTimeout));
    processEventsUntil([] { return false; }, 5 * kShortReopen);
    QCOMPARE(reopened.size(), 0);

    PtyBoard second;
    QVERIFY(QFile::link(second.slavePath(), device));
    QVERIFY(reopened.wait(static_cast<int>(PtyBoard::kTimeout.count())));
    processEventsUntil([] { return false; }, 5 * kShortReopen);
    QCOMPARE(reopened.size(), 1);
    QVERIFY(!program.window->findChild<QLabel *>(QStringLiteral("LineStatus"))->isVisible());
    QVERIFY2(program.reports.size() == 2, qPrintable(program.reports.join('\n')));
    QCOMPARE(program.reports.back(), "serial port: Serial port " + device + " is back; waiting for a new greeting");

    QVERIFY(second.send("1") && second.waitUntilRead());
    QCOMPARE(second.receiveFor(kQuiet), QByteArray());
    QVERIFY(second.send("1") && second.waitUntilRead());
    QCOMPARE(second.receive(kPageColumns).size(), kPageColumns);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"

// SPDX-License-Identifier: MIT
// Faults of the device and the line, each against the real program: a device
// missing at start, the board hanging up in the middle of a page, writes
// that fail on the direct path and behind QSerialPort's buffer, a transmit
// queue that fills up, and a device that comes back. The window closed in the
// middle of a page is tst_end_to_end's; the lost line and its return at the
// serial link alone are tst_serial_line's.
#include "comm_control.h"
#include "conversion.h"
#include "handler_boundary.h"
#include "image_picture.h"
#include "main_window.h"
#include "page_geometry.h"
#include "pty_board.h"
#include "serial_link.h"

#include <pixels/acht_bits.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <memory>

using namespace kestrin;
using kestrin::testing::PtyBoard;
using kestrin::testing::processEventsUntil;

namespace {

constexpr std::chrono::milliseconds kQuiet{50};
constexpr std::chrono::milliseconds kShortReopen{20};
// Far more than a pseudo-terminal's queue holds (about 20 KB on Linux), so
// the rest must wait in QSerialPort's buffer.
constexpr int kStartsBeyondTheQueue = 1000;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray pageOctets(const FrameBuffer &buffer, int page)
{
    QByteArray octets;
    for (int column = 0; column < kPageColumns; ++column)
        octets.append(static_cast<char>(buffer.read(page, column)));
    return octets;
}

FrameBuffer convertedPictures()
{
    FrameBuffer buffer;
    convertAll(ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath)),
               ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath)), buffer);
    return buffer;
}

double processorSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Lets the event loop run for a while; returns the processor time it took,
// which stays small unless something spins.
double processorTimeIdling(std::chrono::milliseconds duration)
{
    const double before = processorSeconds();
    processEventsUntil([] { return false; }, duration);
    return processorSeconds() - before;
}

// Every handler error, as "handler: message".
struct Reports
{
    Reports()
        : previous(setErrorReporter([this](std::string_view handler, std::string_view message) {
              lines.append(toQString(handler) + ": " + toQString(message));
          }))
    {
    }
    ~Reports() { setErrorReporter(previous); }
    Reports(const Reports &) = delete;
    Reports &operator=(const Reports &) = delete;

    QStringList lines;
    ErrorReporter previous;
};

// A shown Form1 on device, by default the board's pseudo-terminal.
struct Program
{
    explicit Program(const std::optional<QString> &device = std::nullopt)
        : window(std::make_unique<MainWindow>(device ? *device : board.slavePath()))
    {
        window->show();
    }

    [[nodiscard]] bool send(QByteArrayView text) { return board.send(text) && board.waitUntilRead(); }

    void click(const char *button) const
    {
        QTest::mouseClick(window->findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
    }

    [[nodiscard]] CommControl::LineState lineState() const { return window->commControl().lineState(); }

    Reports reports;
    PtyBoard board;
    std::unique_ptr<MainWindow> window;
};

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void missingDeviceIsReportedOnceAndNotRetried();
    void hangUpInTheMiddleOfAPage_data();
    void hangUpInTheMiddleOfAPage();
    void failingDirectWriteEndsStartAtOnce();
    void fullQueueWaitsInsteadOfFailing();
    void failingWriteBehindAFullQueue();
    void deviceThatReappearsIsGreetedAgain();
};

// Port 2 on a device that does not exist: set-up reports it once, the line
// stays closed without retrying, and Start then fails with a clear message.
void TestFaults::missingDeviceIsReportedOnceAndNotRetried()
{
    const QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString device = directory.filePath(QStringLiteral("ttyMissing"));
    Reports reports;
    FrameBuffer buffer;
    CommControl control(device);
    control.setReopenInterval(kShortReopen);
    SerialLink link(control, buffer, [&control] { return control.yieldToEventLoop(); });

    runHandler("serial set-up", [&] { link.setUp(); });
    QCOMPARE(reports.lines.size(), 1);
    QVERIFY2(reports.lines.front().startsWith("serial set-up: Serial port " + device + ": "),
             qPrintable(reports.lines.front()));
    QCOMPARE(control.lineState(), CommControl::LineState::Closed);
    QCOMPARE(link.state(), ProtocolState{});

    processEventsUntil([] { return false; }, 5 * kShortReopen);
    QCOMPARE(reports.lines.size(), 1);
    QCOMPARE(control.lineState(), CommControl::LineState::Closed);

    runHandler("Start", [&] { sendStartPage(buffer, control); });
    QCOMPARE(reports.lines.size(), 2);
    QCOMPARE(reports.lines.back(), "Start: Serial port " + device + ": not open");
}

void TestFaults::hangUpInTheMiddleOfAPage_data()
{
    QTest::addColumn<int>("hangUpAfter");
    QTest::newRow("after the first octet") << 1;
    QTest::newRow("after 30 octets") << 30;
    QTest::newRow("one octet before the end") << 59;
}

// The serve stops at the hang-up with one report and no further write; the
// event loop stays idle, and the rest of the program keeps working.
void TestFaults::hangUpInTheMiddleOfAPage()
{
    QFETCH(int, hangUpAfter);
    Program program;
    program.click("Command3");
    QVERIFY(program.send("0"));
    int heard = 0;
    program.board.setOnReceived([&](const QByteArray &chunk) {
        heard += static_cast<int>(chunk.size());
        if (heard >= hangUpAfter)
            program.board.hangUp();
    });
    QVERIFY(program.board.send("1"));
    QVERIFY(processEventsUntil([&] { return program.lineState() != CommControl::LineState::Open; },
                               PtyBoard::kTimeout));

    bool timerFired = false;
    QTimer::singleShot(std::chrono::milliseconds(200), [&] { timerFired = true; });
    const double spent = processorTimeIdling(std::chrono::milliseconds(250));
    QVERIFY(timerFired);
    QVERIFY2(spent < 0.15, qPrintable(QString::number(spent)));
    QVERIFY2(heard < kPageColumns, qPrintable(QString::number(heard)));
    QCOMPARE(program.lineState(), CommControl::LineState::Lost);
    QVERIFY2(program.reports.lines.size() == 1, qPrintable(program.reports.lines.join('\n')));
    QVERIFY2(program.reports.lines.front().startsWith("serial port: Serial port " + program.board.slavePath()
                                                      + ": lost"),
             qPrintable(program.reports.lines.front()));

    FrameBuffer edited = convertedPictures();
    QCOMPARE(program.window->frameBuffer(), edited);
    QTest::mouseClick(program.window->grid().element(0), Qt::LeftButton, {}, QPoint(2, 2));
    edited.write(0, 0, edited.read(0, 0) ^ 1U);
    QCOMPARE(program.window->frameBuffer(), edited);
    program.click("Command3");
    QCOMPARE(program.window->frameBuffer(), convertedPictures());

    program.click("Command4");
    QCOMPARE(program.reports.lines.size(), 2);
    QCOMPARE(program.reports.lines.back(), "Start: Serial port " + program.board.slavePath() + ": not open");
}

// The board is gone before Start writes its first octet: the write fails on
// the direct path and the failure is known before Start returns.
void TestFaults::failingDirectWriteEndsStartAtOnce()
{
    Program program;
    const QString device = program.board.slavePath();
    QVERIFY(program.send("0"));
    program.board.hangUp();
    program.click("Command4");

    QCOMPARE(program.lineState(), CommControl::LineState::Lost);
    QVERIFY2(program.reports.lines.size() == 2, qPrintable(program.reports.lines.join('\n')));
    QVERIFY2(program.reports.lines.front().startsWith("serial port: Serial port " + device + ": lost"),
             qPrintable(program.reports.lines.front()));
    QCOMPARE(program.reports.lines.back(), "Start: Serial port " + device + ": not open");

    const double spent = processorTimeIdling(std::chrono::milliseconds(150));
    QVERIFY2(spent < 0.1, qPrintable(QString::number(spent)));
    QCOMPARE(program.reports.lines.size(), 2);
}

// Start pressed far faster than the board reads: what the device cannot take
// yet waits, the line stays up, and every octet arrives in order.
void TestFaults::fullQueueWaitsInsteadOfFailing()
{
    Program program;
    program.click("Command3");
    QVERIFY(program.send("0"));
    for (int press = 0; press < kStartsBeyondTheQueue; ++press)
        program.click("Command4");
    QCOMPARE(program.lineState(), CommControl::LineState::Open);

    const QByteArray wire = program.board.receive(qsizetype{kStartsBeyondTheQueue} * kPageColumns);
    QCOMPARE(wire, pageOctets(convertedPictures(), kStartPage).repeated(kStartsBeyondTheQueue));
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
    QVERIFY2(program.reports.lines.isEmpty(), qPrintable(program.reports.lines.join('\n')));
    QCOMPARE(program.lineState(), CommControl::LineState::Open);
}

// Octets wait in QSerialPort's buffer when the board hangs up; the write
// behind them fails later, in the event loop: reported once, no spinning,
// and the next Start fails clearly.
void TestFaults::failingWriteBehindAFullQueue()
{
    Program program;
    const QString device = program.board.slavePath();
    QVERIFY(program.send("0"));
    for (int press = 0; press < kStartsBeyondTheQueue; ++press)
        program.click("Command4");
    program.board.hangUp();
    program.click("Command4");
    QVERIFY(program.reports.lines.isEmpty());

    QVERIFY(processEventsUntil([&] { return program.lineState() != CommControl::LineState::Open; },
                               PtyBoard::kTimeout));
    const double spent = processorTimeIdling(std::chrono::milliseconds(150));
    QVERIFY2(spent < 0.1, qPrintable(QString::number(spent)));
    QVERIFY2(program.reports.lines.size() == 1, qPrintable(program.reports.lines.join('\n')));
    QVERIFY2(program.reports.lines.front().startsWith("serial port: Serial port " + device + ": lost"),
             qPrintable(program.reports.lines.front()));

    program.click("Command4");
    QCOMPARE(program.reports.lines.size(), 2);
    QCOMPARE(program.reports.lines.back(), "Start: Serial port " + device + ": not open");
}

// The window's own wiring: a device that comes back under its name is opened
// again, reported once however many tries it took, and the first reception
// on it is a greeting, not a request.
void TestFaults::deviceThatReappearsIsGreetedAgain()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString device = directory.filePath(QStringLiteral("line"));
    auto first = std::make_unique<PtyBoard>();
    QVERIFY(QFile::link(first->slavePath(), device));
    Program program(device);
    program.window->commControl().setReopenInterval(kShortReopen);
    QSignalSpy reopened(&program.window->commControl(), &CommControl::lineReopened);
    program.click("Command3");
    const QByteArray page0 = pageOctets(convertedPictures(), 0);

    QVERIFY(first->send("0") && first->waitUntilRead());
    QVERIFY(first->send("1") && first->waitUntilRead());
    QCOMPARE(first->receive(kPageColumns), page0);
    first->hangUp();
    QVERIFY(QFile::remove(device));
    QVERIFY(processEventsUntil([&] { return program.lineState() == CommControl::LineState::Lost; },
                               PtyBoard::kTimeout));
    processEventsUntil([] { return false; }, 5 * kShortReopen);
    QCOMPARE(reopened.size(), 0);
    QCOMPARE(program.reports.lines.size(), 1);

    PtyBoard second;
    QVERIFY(QFile::link(second.slavePath(), device));
    QVERIFY(reopened.wait(static_cast<int>(PtyBoard::kTimeout.count())));
    processEventsUntil([] { return false; }, 5 * kShortReopen);
    QCOMPARE(reopened.size(), 1);
    QVERIFY2(program.reports.lines.size() == 2, qPrintable(program.reports.lines.join('\n')));
    QCOMPARE(program.reports.lines.back(),
             "serial port: Serial port " + device + " is back; waiting for a new greeting");

    QVERIFY(second.send("1") && second.waitUntilRead());
    QCOMPARE(second.receiveFor(kQuiet), QByteArray());
    QVERIFY(second.send("1") && second.waitUntilRead());
    QCOMPARE(second.receive(kPageColumns), page0);
    QCOMPARE(second.receiveFor(kQuiet), QByteArray());
    QCOMPARE(program.reports.lines.size(), 2);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"

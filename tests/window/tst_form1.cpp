// SPDX-License-Identifier: MIT
// Form1 as the user and the board meet it: its grid, the pages it serves
// over a pseudo-terminal while receptions, clicks and Convert interleave, and
// a line that is missing, hangs up, fails to write, or comes back.
#include "form1_fixture.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <ctime>

using namespace kestrin;
using namespace kestrin::test;
using namespace std::chrono_literals;
using LineState = CommControl::LineState;

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    // 122 columns of 5 pixels fill the width; rows of 33 pixels touch but for
    // the 25 twips (2 pixels) between the upper picture's rows and the lower's.
    // Resizing the window moves none of them.
    void gridFillsTheWindowAndNothingMoves()
    {
        Form1 program;
        QCOMPARE(program.window->size(), QSize(610, 321));
        program.window->resize(300, 150);
        QCoreApplication::processEvents();
        for (int element = 0; element < kGridElements; ++element) {
            const int row = element / kGridColumns;
            const AchtBits *widget = program.window->grid().element(element);
            QCOMPARE(widget->geometry(), QRect(5 * (element % kGridColumns), 136 + 33 * row + (row >= 2 ? 2 : 0), 5, 33));
            QVERIFY(widget->isVisible() && widget->PixelByte() == 0);
        }
    }

    void serves_data()
    {
        QTest::addColumn<QByteArrayList>("steps");
        QTest::addColumn<int>("nested");
        QTest::newRow("Start before the greeting, which goes unanswered; blank pages before Convert")
            << QByteArrayList{"start", "1", "1", "start", "8"} << 0;
        QTest::newRow("text first, then blanks, halves and rejected text")
            << QByteArrayList{"convert", "hallo", "0", " 3 ", "2.5", "abc", "9", "-1", "12", "6"} << 0;
        QTest::newRow("clicks reach the pages served") << QByteArrayList{
            "convert", "0", "click 0 0", "1", "click 61 3", "5", "click 305 5", "3", "click 366 6", "0",
            "click 487 7", "4", "click 0 0", "8"} << 0;
        QTest::newRow("Convert again discards the edits")
            << QByteArrayList{"convert", "click 400 2", "click 10 1", "convert", "0", "2", "6", "7"} << 0;
        QTest::newRow("request 5 after 10 octets of page 0 comes inside it")
            << QByteArrayList{"convert", "0", "1|10|5", "2|60|9"} << 1;
        // Far more than a pseudo-terminal's queue holds (about 20 KB on Linux):
        // the rest waits in QSerialPort's buffer, and the line stays up.
        QTest::newRow("Start far faster than the board reads") << QByteArrayList{"convert", "start 1000", "0", "4"} << 0;
    }

    // Each step is a reception from the board ("<text>", or "<text>|<k>|<text2>"
    // with text2 sent once k octets of text's page are heard), or a click on
    // Convert, Start or a cell ("start <presses>", "click <element> <bit>").
    void serves()
    {
        QFETCH(QByteArrayList, steps);
        QFETCH(int, nested);
        Form1 program;
        for (const QByteArray &step : steps) {
            const QByteArrayList words = step.split(' ');
            const QByteArrayList nesting = step.split('|');
            if (step == "convert")
                program.convert();
            else if (words.front() == "start")
                program.start(words.value(1, "1").toInt());
            else if (words.front() == "click")
                program.clickCell(words[1].toInt(), words[2].toInt());
            else
                program.receive(nesting[0], nesting.value(2), nesting.value(1, "-1").toInt());
        }
        program.finish();
        QCOMPARE(program.nested, nested);
    }

    // As main() runs it: the window closes from inside a served page's yield.
    // The page stops, the event loop ends with 0, the grid is torn down, and a
    // later request finds nobody serving it.
    void closingMidPageEndsTheProgram()
    {
        Form1 program;
        QVERIFY(program.board.sendRead("0"));
        qsizetype heard = 0;
        program.board.onReceived = [&](const QByteArray &chunk) {
            if ((heard += chunk.size()) >= 10)
                program.window->close();
        };
        QVERIFY(program.board.send("1"));
        QTimer::singleShot(kTimeout, program.window.get(), [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(program.board.receiveFor().size() < kPageColumns);
        QCOMPARE(program.window->grid().count(), 1);
        QVERIFY(program.board.sendRead("2"));
        QCOMPARE(program.board.receiveFor(), QByteArray());
        QVERIFY(program.reports.isEmpty());
    }

    void lineLost_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("report"); // the first report, %1 the device
        QTest::addColumn<int>("reports");
        QTest::newRow("device missing at start: waited for")
            << "missing" << "serial set-up: Serial port %1: No such file or directory; waiting for it" << 1;
        QTest::newRow("board hangs up mid-page")
            << "hang-up" << "serial port: Serial port %1: lost (the far end closed the pseudo-terminal); closed" << 1;
        QTest::newRow("write fails: known before Start ends") << "write" << "serial port: Serial port %1: lost (" << 2;
        QTest::newRow("write fails behind a full queue") << "queue" << "serial port: Serial port %1: lost (" << 1;
    }

    // The problem is reported once, naming the device, and shown below the grid;
    // nothing spins in the event loop, a pseudo-terminal is not waited for (its
    // number is handed out again) while a missing device is, everything that
    // needs no line works, and Start says why it cannot.
    void lineLost()
    {
        QFETCH(QString, fault);
        QFETCH(QString, report);
        QFETCH(int, reports);
        const QString missing = QStringLiteral("/nonexistent/ttyS1");
        Form1 program(fault == "missing" ? std::optional(missing) : std::nullopt);
        const QString device = fault == "missing" ? missing : program.board.path();
        qsizetype heard = 0;
        if (fault == "hang-up") {
            QVERIFY(program.board.sendRead("0"));
            program.board.onReceived = [&](const QByteArray &chunk) {
                if ((heard += chunk.size()) >= 30)
                    program.board.hangUp();
            };
            QVERIFY(program.board.send("1"));
        } else if (fault != "missing") {
            // A thousand pages fill the pseudo-terminal's queue; the rest waits in QSerialPort's buffer.
            for (int press = fault == "queue" ? 1000 : 0; press > 0; --press)
                program.click("Command4");
            program.board.hangUp();
            program.click("Command4");
        }
        const CommControl &control = program.window->commControl();
        QVERIFY(processEventsUntil([&] { return control.lineState() != LineState::Open; }));
        const std::clock_t before = std::clock();
        processEventsUntil([] { return false; }, 250ms);
        QVERIFY2(std::clock() - before < CLOCKS_PER_SEC / 10, "the event loop spins"); // processor time
        QCOMPARE(control.lineState(), LineState::Lost);
        QCOMPARE(control.awaitingReturn(), fault == "missing");
        QVERIFY2(program.reports.size() == reports && program.reports.front().startsWith(report.arg(device)),
                 qPrintable(program.reports.join('\n')));
        const QLabel *status = program.lineStatus();
        QVERIFY(status->isVisible() && status->textFormat() == Qt::PlainText && status->text().contains(device));

        QCOMPARE(program.window->grid().count(), kGridElements);
        program.click("Command4");
        QCOMPARE(program.reports.back(), "Start: Serial port " + device + ": not open");
    }

    // A device missing at start (a symlink that comes with the adapter) is
    // opened once it appears, and again when it comes back after a loss;
    // each time reported once however many tries it took, and greeted anew.
    void returningDeviceGreetsAgain()
    {
        const QTemporaryDir directory;
        const QString device = directory.filePath(QStringLiteral("line"));
        Form1 program(device);
        CommControl &control = program.window->commControl();
        control.setReopenInterval(20ms);
        QSignalSpy reopened(&control, &CommControl::lineReopened);
        for (const QString &arrival : {QStringLiteral("there now"), QStringLiteral("back")}) {
            QVERIFY(processEventsUntil([&] { return control.awaitingReturn(); }));
            QVERIFY(program.lineStatus()->isVisible() && program.lineStatus()->text().contains(device));
            Board board;
            QVERIFY(QFile::link(board.path(), device));
            QVERIFY(reopened.wait(static_cast<int>(kTimeout.count())));
            processEventsUntil([] { return false; }, 100ms);
            QVERIFY(!program.lineStatus()->isVisible());
            QVERIFY2(program.reports.size() == 2, qPrintable(program.reports.join('\n')));
            QCOMPARE(program.reports.back(), "serial port: Serial port " + device + " is " + arrival
                                                 + "; waiting for the board's greeting");
            QVERIFY(board.sendRead("1"));
            QCOMPARE(board.receiveFor(), QByteArray());
            QVERIFY(board.sendRead("1"));
            QCOMPARE(board.receive(kPageColumns).size(), kPageColumns);
            program.reports.clear();
            QVERIFY(QFile::remove(device));
        }
        QCOMPARE(reopened.size(), 2);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"

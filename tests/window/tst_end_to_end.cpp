// SPDX-License-Identifier: MIT
// The whole program against the board: a real Form1 on a pseudo-terminal
// whose master side plays the board, driven by real clicks, and the kestrin
// executable itself on one.
#include "program.h"
#include "reference_pages.h"

#include <QProcess>
#include <QTimer>

#include <array>
#include <functional>

#include <csignal>
#include <sys/wait.h>

using namespace kestrin;
using kestrin::test::pageOctets;
using kestrin::test::Program;

namespace {

constexpr std::chrono::milliseconds kQuiet{50};
constexpr std::array<int, 9> kPageOfRequest{5, 0, 1, 6, 7, 2, 3, 4, 0};

FrameBuffer gridPages(Program &program)
{
    FrameBuffer shown;
    for (int page = 0; page < kPageCount; ++page) {
        for (int column = 0; column < kPageColumns; ++column)
            shown.write(page, column, program.window->grid().element(elementOf(page, column))->PixelByte());
    }
    return shown;
}

// After Convert and the greeting, asks for page 0 and calls act once the
// board has heard count octets of it.
[[nodiscard]] bool requestPageZero(Program &program, qsizetype count, std::function<void()> act)
{
    program.click("Command3");
    program.board.setOnReceived([heard = qsizetype{0}, count, act = std::move(act)](const QByteArray &chunk) mutable {
        const bool reached = heard < count && heard + chunk.size() >= count;
        heard += chunk.size();
        if (reached)
            act();
    });
    return program.send("0") && program.board.send("1");
}

} // namespace

class TstEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void startsClearAndServesZeros();
    void requestsAfterConvert_data();
    void requestsAfterConvert();
    void cellClicksChangeExactlyTheServedBits_data();
    void cellClicksChangeExactlyTheServedBits();
    void convertTwiceDiscardsEdits();
    void requestDuringServeIsServedInside();
    void closingMidServeStopsItAndEndsTheProgram_data();
    void closingMidServeStopsItAndEndsTheProgram();
    void executableServesTheBoard();
};

// Before any Convert: a clear grid, the greeting unanswered, then zeros for
// a request and for Start.
void TstEndToEnd::startsClearAndServesZeros()
{
    Program program;
    QCOMPARE(gridPages(program), FrameBuffer{});
    QVERIFY(program.send("1"));
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
    QVERIFY(program.send("1"));
    QCOMPARE(program.board.receive(kPageColumns), QByteArray(kPageColumns, '\0'));
    program.click("Command4");
    QCOMPARE(program.board.receive(kPageColumns), QByteArray(kPageColumns, '\0'));
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
    QVERIFY(program.reports.isEmpty());
}

void TstEndToEnd::requestsAfterConvert_data()
{
    QTest::addColumn<int>("request");
    for (int request = 0; request < 9; ++request)
        QTest::addRow("request %d is page %d", request, kPageOfRequest[static_cast<std::size_t>(request)]) << request;
}

void TstEndToEnd::requestsAfterConvert()
{
    QFETCH(int, request);
    Program program;
    program.click("Command3");
    QVERIFY(program.send("0"));
    QVERIFY(program.send(QByteArray::number(request)));
    QCOMPARE(program.board.receive(kPageColumns),
             pageOctets(test::referencePages(), kPageOfRequest[static_cast<std::size_t>(request)]));
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
}

void TstEndToEnd::cellClicksChangeExactlyTheServedBits_data()
{
    QTest::addColumn<int>("element");
    QTest::addColumn<int>("bit");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("request");
    QTest::newRow("top cell of element 0") << 0 << 0 << 0 << 0 << 1;
    QTest::newRow("element 61, right half") << 61 << 3 << 2 << 0 << 5;
    QTest::newRow("element 250, lower picture") << 250 << 4 << 4 << 6 << 7;
    QTest::newRow("bottom cell of element 487") << 487 << 7 << 7 << 60 << 4;
}

// One bit of the buffer changes, and the page that holds it goes out with it.
void TstEndToEnd::cellClicksChangeExactlyTheServedBits()
{
    QFETCH(int, element);
    QFETCH(int, bit);
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(int, request);
    Program program;
    program.click("Command3");
    program.clickCell(element, bit);
    FrameBuffer expected = test::referencePages();
    expected.write(page, column, static_cast<std::uint8_t>(expected.read(page, column) ^ (1U << bit)));
    QCOMPARE(program.window->frameBuffer(), expected);
    QVERIFY(program.send("0"));
    QVERIFY(program.send(QByteArray::number(request)));
    QCOMPARE(program.board.receive(kPageColumns), pageOctets(expected, page));
}

void TstEndToEnd::convertTwiceDiscardsEdits()
{
    Program program;
    const FrameBuffer reference = test::referencePages();
    program.click("Command3");
    QCOMPARE(gridPages(program), reference);
    program.clickCell(400, 2);
    QVERIFY(program.window->frameBuffer() != reference);
    program.click("Command3");
    QCOMPARE(program.window->frameBuffer(), reference);
    QCOMPARE(gridPages(program), reference);
}

// The board asks for page 2 while page 0 is on its way: page 2 arrives whole
// inside page 0, and page 0 then resumes where it stopped.
void TstEndToEnd::requestDuringServeIsServedInside()
{
    constexpr int kInjectAfter = 10;
    bool injected = false;
    Program program;
    QVERIFY(requestPageZero(program, kInjectAfter, [&] { injected = program.board.send("5"); }));
    const QByteArray wire = program.board.receive(2 * kPageColumns);
    QVERIFY(injected);
    const QByteArray outer = pageOctets(test::referencePages(), 0);
    const QByteArray inner = pageOctets(test::referencePages(), 2);
    bool nested = false;
    for (qsizetype split = kInjectAfter; split < kPageColumns && !nested; ++split)
        nested = wire == outer.first(split) + inner + outer.sliced(split);
    QVERIFY2(nested, wire.toHex(' ').constData());
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
    QVERIFY(program.reports.isEmpty());
}

void TstEndToEnd::closingMidServeStopsItAndEndsTheProgram_data()
{
    QTest::addColumn<int>("closeAfter");
    QTest::newRow("after the first octet") << 1;
    QTest::newRow("after 10 octets") << 10;
    QTest::newRow("after 30 octets") << 30;
}

// As main() runs it: the window closes from inside a served page's yield.
// The serve stops, the event loop ends with 0, a later request finds nobody
// serving, and the window then goes cleanly.
void TstEndToEnd::closingMidServeStopsItAndEndsTheProgram()
{
    QFETCH(int, closeAfter);
    Program program;
    QVERIFY(requestPageZero(program, closeAfter, [&] { program.window->close(); }));
    QTimer::singleShot(testing::PtyBoard::kTimeout, program.window.get(), [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);

    const QByteArray wire = program.board.receiveFor(kQuiet);
    QVERIFY2(wire.size() < kPageColumns, qPrintable(QString::number(wire.size())));
    QCOMPARE(wire, pageOctets(test::referencePages(), 0).first(wire.size()));
    QCOMPARE(program.window->grid().count(), 1);
    QVERIFY(program.send("2"));
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
    program.window.reset();
    QVERIFY(program.reports.isEmpty());
}

// The executable greeted before it runs: it answers a request with a blank
// page and reports nothing. Offscreen it cannot be closed, so it is killed.
void TstEndToEnd::executableServesTheBoard()
{
    testing::PtyBoard board;
    QVERIFY(board.send("0"));
    QProcess kestrin;
    kestrin.start(QStringLiteral(KESTRIN_PATH), {QStringLiteral("--port"), board.slavePath()});
    QVERIFY(kestrin.waitForStarted());
    QVERIFY(board.waitUntilRead());

    // Stopped, the program cannot read the request before the board sees it land.
    const auto pid = static_cast<pid_t>(kestrin.processId());
    siginfo_t stopped{};
    QVERIFY(::kill(pid, SIGSTOP) == 0 && ::waitid(P_PID, static_cast<id_t>(pid), &stopped, WSTOPPED) == 0);
    QVERIFY(board.send("3"));
    ::kill(pid, SIGCONT);
    QCOMPARE(board.receive(kPageColumns), QByteArray(kPageColumns, '\0'));
    QCOMPARE(board.receiveFor(kQuiet), QByteArray());

    kestrin.kill();
    QVERIFY(kestrin.waitForFinished());
    const QByteArray errors = kestrin.readAllStandardError();
    QVERIFY2(!errors.contains("kestrin:"), errors.constData());
}

QTEST_MAIN(TstEndToEnd)
#include "tst_end_to_end.moc"

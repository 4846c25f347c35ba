// SPDX-License-Identifier: MIT
// The whole program against the board: a real Form1 on a pseudo-terminal
// whose master side plays the board, driven by real clicks, and the kestrin
// executable itself on one.
#include "handler_boundary.h"
#include "main_window.h"
#include "page_geometry.h"
#include "pty_board.h"
#include "reference_pages.h"

#include <pixels/acht_bits.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <array>
#include <memory>

#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using namespace kestrin;
using kestrin::testing::PtyBoard;
using kestrin::testing::processEventsUntil;

namespace {

constexpr std::chrono::milliseconds kQuiet{50};

// The request that asks for each page 0..7.
constexpr std::array<int, kPageCount> kRequestForPage{1, 2, 5, 6, 7, 0, 3, 4};

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

// A shown Form1 serving the board on the pseudo-terminal, as main() runs it.
struct Program
{
    Program()
    {
        previousReporter = setErrorReporter([this](std::string_view handler, std::string_view message) {
            reports.append(toQString(handler) + ": " + toQString(message));
        });
        window = std::make_unique<MainWindow>(board.slavePath());
        window->show();
        processEventsUntil([this] { return window->isVisible(); }, PtyBoard::kTimeout);
    }
    ~Program()
    {
        window.reset();
        setErrorReporter(previousReporter);
    }

    // One reception, read by the host before this returns.
    [[nodiscard]] bool send(QByteArrayView text) { return board.send(text) && board.waitUntilRead(); }

    void click(const char *button) const
    {
        QTest::mouseClick(window->findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
    }

    // A real click in the middle of a cell: cell k spans pixel rows 4k..4k+4.
    void clickCell(int element, int bit) const
    {
        QTest::mouseClick(window->grid().element(element), Qt::LeftButton, {}, QPoint(2, 4 * bit + 2));
    }

    // The buffer as the board sees it: every page, fetched by its request.
    [[nodiscard]] FrameBuffer servedPages()
    {
        FrameBuffer served;
        for (int page = 0; page < kPageCount; ++page) {
            if (!send(QByteArray::number(kRequestForPage[static_cast<std::size_t>(page)])))
                return {};
            const QByteArray octets = board.receive(kPageColumns);
            for (int column = 0; column < octets.size(); ++column)
                served.write(page, column, static_cast<std::uint8_t>(octets[column]));
        }
        return served;
    }

    // The buffer as the grid shows it.
    [[nodiscard]] FrameBuffer gridPages() const
    {
        FrameBuffer shown;
        for (int page = 0; page < kPageCount; ++page) {
            for (int column = 0; column < kPageColumns; ++column)
                shown.write(page, column, window->grid().element(elementOf(page, column))->PixelByte());
        }
        return shown;
    }

    PtyBoard board;
    QStringList reports;
    ErrorReporter previousReporter;
    std::unique_ptr<MainWindow> window;
};

// A pseudo-terminal for a program in another process. PtyBoard waits to see
// each send land in the host's input queue, which a host that reads at once
// can beat; this board only writes, and learns from the answer.
class ExternalBoard
{
public:
    ExternalBoard()
    {
        std::array<char, 256> name{};
        if (::openpty(&m_master, &m_slave, name.data(), nullptr, nullptr) != 0) {
            m_master = m_slave = -1;
            return;
        }
        termios settings{};
        ::tcgetattr(m_slave, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(m_slave, TCSANOW, &settings);
        m_slavePath = QString::fromLocal8Bit(name.data());
    }
    ~ExternalBoard()
    {
        for (const int descriptor : {m_master, m_slave}) {
            if (descriptor >= 0)
                ::close(descriptor);
        }
    }
    ExternalBoard(const ExternalBoard &) = delete;
    ExternalBoard &operator=(const ExternalBoard &) = delete;

    [[nodiscard]] bool isOpen() const { return m_master >= 0; }
    [[nodiscard]] QString slavePath() const { return m_slavePath; }

    [[nodiscard]] bool write(QByteArrayView octets) const
    {
        return ::write(m_master, octets.data(), static_cast<std::size_t>(octets.size())) == octets.size();
    }

    // Waits until exactly count octets wait in the host's input queue.
    [[nodiscard]] bool waitUntilLanded(int count) const
    {
        const QDeadlineTimer deadline(PtyBoard::kTimeout);
        int waiting = -1;
        while ((::ioctl(m_slave, FIONREAD, &waiting) != 0 || waiting != count) && !deadline.hasExpired())
            QThread::usleep(kPollMicroseconds);
        return waiting == count;
    }

    // Up to count octets from the host, whatever came within the time.
    [[nodiscard]] QByteArray read(qsizetype count, std::chrono::milliseconds timeout) const
    {
        QByteArray octets;
        const QDeadlineTimer deadline(timeout);
        while (octets.size() < count) {
            pollfd readable{m_master, POLLIN, 0};
            const auto left = static_cast<int>(deadline.remainingTime());
            if (::poll(&readable, 1, left) <= 0)
                break;
            QByteArray chunk(count - octets.size(), '\0');
            const ssize_t got = ::read(m_master, chunk.data(), static_cast<std::size_t>(chunk.size()));
            if (got <= 0)
                break;
            octets += chunk.first(got);
        }
        return octets;
    }

private:
    static constexpr unsigned long kPollMicroseconds = 100;

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};

} // namespace

class TstEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void startsClearAndServesZeros();
    void startSendsPageFour_data();
    void startSendsPageFour();
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

void TstEndToEnd::startsClearAndServesZeros()
{
    Program program;
    QCOMPARE(program.window->grid().count(), kGridElements);
    for (int index = 0; index < kGridElements; ++index) {
        QVERIFY(program.window->grid().element(index)->isVisible());
        QCOMPARE(program.window->grid().element(index)->PixelByte(), 0);
    }

    QVERIFY(program.send("1"));
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
    QVERIFY(program.send("1"));
    QCOMPARE(program.board.receive(kPageColumns), QByteArray(kPageColumns, '\0'));
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
    QVERIFY(program.reports.isEmpty());
}

void TstEndToEnd::startSendsPageFour_data()
{
    QTest::addColumn<bool>("converted");
    QTest::newRow("before Convert: zeros") << false;
    QTest::newRow("after Convert: the reference page 4") << true;
}

// Start needs no greeting and leaves it pending: the next reception is
// still swallowed.
void TstEndToEnd::startSendsPageFour()
{
    QFETCH(bool, converted);
    Program program;
    if (converted)
        program.click("Command3");
    const FrameBuffer expected = converted ? test::referencePages() : FrameBuffer{};

    program.click("Command4");
    QCOMPARE(program.board.receive(kPageColumns), pageOctets(expected, 4));
    QVERIFY(program.send("4"));
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
    QVERIFY(program.send("7"));
    QCOMPARE(program.board.receive(kPageColumns), pageOctets(expected, 4));
    QVERIFY(program.reports.isEmpty());
}

void TstEndToEnd::requestsAfterConvert_data()
{
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("page");
    const std::array<int, 9> pages{5, 0, 1, 6, 7, 2, 3, 4, 0};
    for (int request = 0; request < 9; ++request) {
        const int page = pages[static_cast<std::size_t>(request)];
        QTest::addRow("request %d is page %d", request, page) << request << page;
    }
}

void TstEndToEnd::requestsAfterConvert()
{
    QFETCH(int, request);
    QFETCH(int, page);
    Program program;
    program.click("Command3");
    QVERIFY(program.send("0"));
    QVERIFY(program.send(QByteArray::number(request)));
    QCOMPARE(program.board.receive(kPageColumns), pageOctets(test::referencePages(), page));
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
}

void TstEndToEnd::cellClicksChangeExactlyTheServedBits_data()
{
    QTest::addColumn<int>("element");
    QTest::addColumn<int>("bit");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::newRow("top cell of element 0") << 0 << 0 << 0 << 0;
    QTest::newRow("element 61, right half") << 61 << 3 << 2 << 0;
    QTest::newRow("element 250, lower picture") << 250 << 4 << 4 << 6;
    QTest::newRow("element 366, bottom row") << 366 << 6 << 5 << 0;
    QTest::newRow("bottom cell of element 487") << 487 << 7 << 7 << 60;
}

// A click flips one bit on the wire; a second click on the same cell puts
// the converted page back.
void TstEndToEnd::cellClicksChangeExactlyTheServedBits()
{
    QFETCH(int, element);
    QFETCH(int, bit);
    QFETCH(int, page);
    QFETCH(int, column);
    Program program;
    program.click("Command3");
    QVERIFY(program.send("0"));
    const FrameBuffer reference = test::referencePages();

    program.clickCell(element, bit);
    FrameBuffer expected = reference;
    expected.write(page, column, static_cast<std::uint8_t>(reference.read(page, column) ^ (1U << bit)));
    QCOMPARE(program.servedPages(), expected);

    program.clickCell(element, bit);
    QCOMPARE(program.servedPages(), reference);
    QVERIFY(program.reports.isEmpty());
}

void TstEndToEnd::convertTwiceDiscardsEdits()
{
    Program program;
    const FrameBuffer reference = test::referencePages();
    program.click("Command3");
    QCOMPARE(program.window->frameBuffer(), reference);
    QCOMPARE(program.gridPages(), reference);

    program.clickCell(1, 1);
    program.clickCell(200, 7);
    program.clickCell(400, 2);
    QVERIFY(program.window->frameBuffer() != reference);

    program.click("Command3");
    QCOMPARE(program.window->frameBuffer(), reference);
    QCOMPARE(program.gridPages(), reference);
    QVERIFY(program.send("0"));
    QCOMPARE(program.servedPages(), reference);
}

// The board asks for page 2 while page 0 is on its way: page 2 arrives whole
// inside page 0, and page 0 then resumes where it stopped.
void TstEndToEnd::requestDuringServeIsServedInside()
{
    constexpr int kInjectAfter = 10;
    Program program;
    program.click("Command3");
    QVERIFY(program.send("0"));
    int heard = 0;
    bool injected = false;
    program.board.setOnReceived([&](const QByteArray &chunk) {
        heard += static_cast<int>(chunk.size());
        if (!injected && heard >= kInjectAfter)
            injected = program.board.send("5");
    });
    QVERIFY(program.board.send("1"));

    const QByteArray outer = pageOctets(test::referencePages(), 0);
    const QByteArray inner = pageOctets(test::referencePages(), 2);
    const QByteArray wire = program.board.receive(2 * kPageColumns);
    QVERIFY(injected);
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
    program.click("Command3");
    QVERIFY(program.send("0"));
    int heard = 0;
    bool closed = false;
    program.board.setOnReceived([&](const QByteArray &chunk) {
        heard += static_cast<int>(chunk.size());
        if (!closed && heard >= closeAfter)
            closed = program.window->close();
    });
    QVERIFY(program.board.send("1"));

    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(PtyBoard::kTimeout);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(closed);

    const QByteArray wire = program.board.receiveFor(kQuiet);
    QVERIFY2(wire.size() < kPageColumns, qPrintable(QString::number(wire.size())));
    QCOMPARE(wire, pageOctets(test::referencePages(), 0).first(wire.size()));
    QCOMPARE(program.window->grid().count(), 1);

    QVERIFY(program.send("2"));
    QCOMPARE(program.board.receiveFor(kQuiet), QByteArray());
    program.window.reset();
    QVERIFY(program.reports.isEmpty());
}

// The executable on a pseudo-terminal: it does not answer the greeting,
// answers a request with a blank page and reports nothing. It has no way to
// be closed from outside on the offscreen platform, so it is stopped.
void TstEndToEnd::executableServesTheBoard()
{
    ExternalBoard board;
    QVERIFY(board.isOpen());
    // The board greets before the program runs; the greeting waits in the line.
    QVERIFY(board.write("0"));
    QVERIFY(board.waitUntilLanded(1));

    QProcess kestrin;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    kestrin.setProcessEnvironment(environment);
    kestrin.start(QStringLiteral(KESTRIN_PATH), {QStringLiteral("--port"), board.slavePath()});
    QVERIFY(kestrin.waitForStarted());
    QVERIFY(board.waitUntilLanded(0));
    QCOMPARE(board.read(1, kQuiet), QByteArray());

    QVERIFY(board.write("3"));
    QCOMPARE(board.read(kPageColumns, PtyBoard::kTimeout), QByteArray(kPageColumns, '\0'));
    QCOMPARE(board.read(1, kQuiet), QByteArray());

    QCOMPARE(kestrin.state(), QProcess::Running);
    kestrin.kill();
    QVERIFY(kestrin.waitForFinished());
    const QByteArray errors = kestrin.readAllStandardError();
    QVERIFY2(!errors.contains("kestrin:"), errors.constData());
}

QTEST_MAIN(TstEndToEnd)
#include "tst_end_to_end.moc"

// SPDX-License-Identifier: MIT
// The simulated board against the program's serial side: the picture it
// assembles from the eight pages must be the frame buffer's picture.
#include "comm_control.h"
#include "handler_boundary.h"
#include "page_geometry.h"
#include "pty_board.h"
#include "serial_link.h"

#include <QProcess>
#include <QTest>

using namespace kestrin;
using kestrin::testing::processEventsUntil;

namespace {

constexpr std::chrono::milliseconds kRunTime{10000};

// Asymmetric in both directions, so a page in the wrong place shows.
bool patternDark(int x, int y)
{
    return (x + 2 * y) % 7 == 0 || x == 0 || y == kDisplayHeight - 1;
}

FrameBuffer patternBuffer()
{
    FrameBuffer buffer;
    for (int y = 0; y < kDisplayHeight; ++y) {
        for (int x = 0; x < kDisplayWidth; ++x) {
            if (!patternDark(x, y))
                continue;
            const PixelPlace place = placeOfPixel({x, y});
            buffer.write(place.page, place.column,
                         static_cast<std::uint8_t>(buffer.read(place.page, place.column) | (1U << place.bit)));
        }
    }
    return buffer;
}

// Runs kestrin-board with the arguments and serves it until it exits;
// returns its standard output after the device line.
QByteArray runBoard(const QStringList &arguments, const FrameBuffer &buffer)
{
    QProcess process;
    process.start(QStringLiteral(KESTRIN_BOARD_PATH), arguments);
    if (!processEventsUntil([&] { return process.canReadLine(); }, kRunTime))
        return {};
    const QString device = QString::fromLocal8Bit(process.readLine()).trimmed();

    CommControl control(device);
    SerialLink link(control, buffer, [&control] { return control.yieldToEventLoop(); });
    QObject::connect(&control, &CommControl::OnComm, [&link] {
        runHandler("port event", [&link] { link.portEvent(); });
    });
    link.setUp();
    processEventsUntil([&] { return process.state() == QProcess::NotRunning; }, kRunTime);
    if (process.exitCode() != 0)
        return process.readAllStandardError();
    return process.readAllStandardOutput();
}

} // namespace

class TestBoard : public QObject
{
    Q_OBJECT

private slots:
    void picture();
    void request_data();
    void request();
};

void TestBoard::picture()
{
    QByteArray expected;
    for (int y = 0; y < kDisplayHeight; ++y) {
        for (int x = 0; x < kDisplayWidth; ++x)
            expected += patternDark(x, y) ? '#' : '.';
        expected += '\n';
    }
    QCOMPARE(runBoard({"--ascii"}, patternBuffer()), expected);
}

void TestBoard::request_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("page");

    QTest::newRow("blanks around 3 is page 6") << " 3 " << 6;
    QTest::newRow("0 is page 5") << "0" << 5;
    QTest::newRow("9 gets nothing") << "9" << -1;
}

void TestBoard::request()
{
    QFETCH(QString, text);
    QFETCH(int, page);

    const FrameBuffer buffer = patternBuffer();
    QByteArray expected = page < 0 ? "0 octets:" : "61 octets:";
    for (int column = 0; page >= 0 && column < kPageColumns; ++column)
        expected += ' ' + QByteArray::number(buffer.read(page, column), 16).rightJustified(2, '0').toUpper();
    QCOMPARE(runBoard({"--request", text}, buffer), expected + '\n');
}

QTEST_GUILESS_MAIN(TestBoard)
#include "tst_board.moc"

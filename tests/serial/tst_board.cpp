// SPDX-License-Identifier: MIT
// kestrin-board against the program's serial side: what the board prints must
// be the frame buffer's picture, or the page a request maps to.
#include "comm_control.h"
#include "handler_boundary.h"
#include "page_geometry.h"
#include "distinct_pages.h"
#include "pty_board.h"
#include "serial_link.h"

#include <QProcess>
#include <QTest>

using namespace kestrin;

namespace {

constexpr std::chrono::milliseconds kRunTime{10000};

const FrameBuffer kPages = testing::distinctPages();

QByteArray asciiPicture()
{
    QByteArray picture;
    for (int y = 0; y < kDisplayHeight; ++y) {
        for (int x = 0; x < kDisplayWidth; ++x) {
            const PixelPlace place = placeOfPixel({x, y});
            picture += ((kPages.read(place.page, place.column) >> place.bit) & 1U) != 0 ? '#' : '.';
        }
        picture += '\n';
    }
    return picture;
}

// Runs kestrin-board and serves it until it exits; returns its standard
// output after the device line, or its errors if it failed.
QByteArray runBoard(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(KESTRIN_BOARD_PATH), arguments);
    if (!testing::processEventsUntil([&] { return process.canReadLine(); }, kRunTime))
        return {};
    CommControl control(QString::fromLocal8Bit(process.readLine()).trimmed());
    SerialLink link(control, kPages, [&control] { return control.yieldToEventLoop(); });
    QObject::connect(&control, &CommControl::OnComm,
                     [&link] { runHandler("port event", [&link] { link.portEvent(); }); });
    link.setUp();
    testing::processEventsUntil([&] { return process.state() == QProcess::NotRunning; }, kRunTime);
    return process.exitCode() == 0 ? process.readAllStandardOutput() : process.readAllStandardError();
}

} // namespace

class TestBoard : public QObject
{
    Q_OBJECT

private slots:
    void picture();
    void requestOutOfRangeGetsNothing();
};

void TestBoard::picture()
{
    QCOMPARE(runBoard({"--ascii"}), asciiPicture());
}

void TestBoard::requestOutOfRangeGetsNothing()
{
    QCOMPARE(runBoard({"--request", "9"}), QByteArray("0 octets:\n"));
}

QTEST_GUILESS_MAIN(TestBoard)
#include "tst_board.moc"

// SPDX-License-Identifier: MIT
// The whole road from a picture to the pixels on the module: the board
// firmware runs on kestrin-avr-board's simulated ATmega328P, and Form1, here
// in the test on the offscreen platform, serves it over the pseudo-terminal.
#include "main_window.h"
#include "page_geometry.h"

#include <pixels/acht_bits.h>

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using kestrin::MainWindow;

namespace {

constexpr int kTimeoutMs = 20'000;
// More receptions than the eight requests of a frame and the greeting.
constexpr int kReceptionsBeforeRestart = 11;
constexpr int kRestartPauseMs = 200;

#if defined(KESTRIN_AVR_BOARD_PATH) && defined(KESTRIN_FIRMWARE_ELF)
constexpr bool kBuilt = true;
#else
constexpr bool kBuilt = false;
#define KESTRIN_AVR_BOARD_PATH ""
#define KESTRIN_FIRMWARE_ELF ""
#endif

// kestrin-avr-board running the firmware until it has refreshed the module
// `refreshes` times, then printing it. Waiting for the host, the firmware
// starts when Form1 opens the line, so that Form1 reads its greeting.
class AvrBoard
{
public:
    AvrBoard(int refreshes, bool waitForHost)
    {
        QStringList arguments{QStringLiteral(KESTRIN_FIRMWARE_ELF), QStringLiteral("--frames"),
                              QString::number(refreshes), QStringLiteral("--ascii")};
        if (waitForHost)
            arguments.append(QStringLiteral("--wait-for-host"));
        m_process.start(QStringLiteral(KESTRIN_AVR_BOARD_PATH), arguments);
        if (m_process.waitForReadyRead(kTimeoutMs))
            m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~AvrBoard()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    [[nodiscard]] const QString &device() const { return m_device; }
    [[nodiscard]] bool finished() const { return m_process.state() == QProcess::NotRunning; }
    // The 32 rows of the module, then the report; the exit code and stderr
    // when the board failed.
    [[nodiscard]] QStringList output()
    {
        if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0)
            return {QStringLiteral("exit %1: %2").arg(m_process.exitCode()).arg(m_process.readAllStandardError())};
        return QString::fromLocal8Bit(m_process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

private:
    QProcess m_process;
    QString m_device;
};

std::unique_ptr<MainWindow> openHostAndConvert(const QString &device)
{
    auto window = std::make_unique<MainWindow>(device);
    window->show();
    QTest::mouseClick(window->findChild<QWidget *>(QStringLiteral("Command3")), Qt::LeftButton);
    return window;
}

// The pixels on the module that differ from the frame buffer, and the first.
QString differences(const QStringList &rows, const kestrin::FrameBuffer &buffer)
{
    int count = 0;
    QString first;
    for (int y = 0; y < kestrin::kDisplayHeight; ++y) {
        for (int x = 0; x < kestrin::kDisplayWidth; ++x) {
            const kestrin::PixelPlace place = kestrin::placeOfPixel({x, y});
            const bool dark = (buffer.read(place.page, place.column) >> place.bit) & 1U;
            if ((rows.at(y).at(x) == QLatin1Char('#')) != dark && count++ == 0)
                first = QStringLiteral(", first at (%1, %2)").arg(x).arg(y);
        }
    }
    return count == 0 ? QString() : QStringLiteral("%1 pixels differ%2").arg(count).arg(first);
}

} // namespace

class TestFirmwareRoad : public QObject
{
    Q_OBJECT

private slots:
    void moduleShowsTheFrame_data();
    void moduleShowsTheFrame();
};

void TestFirmwareRoad::moduleShowsTheFrame_data()
{
    QTest::addColumn<bool>("waitForHost");
    QTest::addColumn<int>("hostDelayMs");
    QTest::addColumn<bool>("restart");
    QTest::addColumn<int>("refreshes");
    QTest::newRow("greeting read") << true << 0 << false << 2;
    QTest::newRow("the board starts well before: greeting lost") << false << 400 << false << 8;
    QTest::newRow("a new window mid-run, with edits") << true << 0 << true << 4;
}

// Every one of the 3,904 pixels on the module equals the last window's
// frame buffer once the firmware has refreshed it whole, after the last
// window opened, at least once.
void TestFirmwareRoad::moduleShowsTheFrame()
{
    if (!kBuilt)
        QSKIP("kestrin-avr-board or the firmware is not built: the AVR toolchain (gcc-avr, avr-libc, "
              "binutils-avr) or simavr (libsimavr-dev) is missing; scripts/ensure-packages installs them");
    QFETCH(bool, waitForHost);
    QFETCH(int, hostDelayMs);
    QFETCH(bool, restart);
    QFETCH(int, refreshes);
    AvrBoard board(refreshes, waitForHost);
    QVERIFY2(!board.device().isEmpty(), "kestrin-avr-board printed no device");
    QTest::qWait(hostDelayMs);
    std::unique_ptr<MainWindow> window = openHostAndConvert(board.device());
    if (restart) {
        QSignalSpy receptions(&window->commControl(), &kestrin::LineControl::OnComm);
        QTRY_VERIFY_WITH_TIMEOUT(receptions.count() >= kReceptionsBeforeRestart, kTimeoutMs);
        window.reset();
        QTest::qWait(kRestartPauseMs);
        window = openHostAndConvert(board.device());
        for (const int element : {0, 200, 487})
            QTest::mouseClick(window->grid().element(element), Qt::LeftButton, {}, QPoint(2, 6));
    }
    QTRY_VERIFY_WITH_TIMEOUT(board.finished(), kTimeoutMs);
    const QStringList output = board.output();
    QVERIFY2(output.size() == kestrin::kDisplayHeight + 1, qPrintable(output.join('\n')));
    const QString wrong = differences(output, window->frameBuffer());
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QVERIFY2(output.last().contains(QStringLiteral("; 0 unknown commands")), qPrintable(output.last()));
}

QTEST_MAIN(TestFirmwareRoad)
#include "tst_firmware_road.moc"

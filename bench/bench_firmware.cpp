// SPDX-License-Identifier: MIT
// The board firmware: its flash and RAM as avr-size counts them, and how
// fast it refreshes the module on kestrin-avr-board's simulated ATmega328P
// while Form1, in this process on the offscreen platform, serves it over a
// pseudo-terminal. The bridge carries one octet per 115200-baud octet time,
// so the line allows 23.2 refreshes per second: eight pages of 61 octets,
// each asked for with a one-octet request.
#include "bench_table.h"
#include "main_window.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

#if !defined(KESTRIN_AVR_BOARD_PATH) || !defined(KESTRIN_FIRMWARE_ELF) || !defined(KESTRIN_AVR_SIZE)
#define KESTRIN_AVR_BOARD_PATH ""
#define KESTRIN_FIRMWARE_ELF ""
#define KESTRIN_AVR_SIZE ""
#endif

constexpr int kRefreshes = 101;
constexpr double kLineLimit = 115'200.0 / 10.0 / (8.0 * (61.0 + 1.0));
constexpr double kRateTarget = 0.9 * kLineLimit;
constexpr double kFlashTarget = 1024.0;
constexpr double kRamTarget = 128.0;
// Real time, give or take the odd scheduling hiccup.
constexpr double kRealTimeTarget = 0.95;
// Room for a busy machine: the simulator keeps real time at half its speed.
constexpr double kSpeedTarget = 2.0;
constexpr int kRunTimeoutMs = 120'000;

struct Sizes
{
    double flash = 0;
    double ram = 0;
};

// avr-size's Berkeley format: text, data, bss, ...
std::optional<Sizes> firmwareSizes()
{
    QProcess size;
    size.start(QStringLiteral(KESTRIN_AVR_SIZE), {QStringLiteral(KESTRIN_FIRMWARE_ELF)});
    if (!size.waitForFinished() || size.exitCode() != 0)
        return std::nullopt;
    const QStringList lines = QString::fromLocal8Bit(size.readAllStandardOutput()).split('\n');
    const QStringList fields = lines.value(1).simplified().split(' ');
    if (fields.size() < 3)
        return std::nullopt;
    return Sizes{fields[0].toDouble() + fields[1].toDouble(), fields[1].toDouble() + fields[2].toDouble()};
}

struct Run
{
    double rate = 0;
    double simulatedPerWall = 0;
    double speed = 0;
};

std::optional<Run> refreshRun()
{
    QProcess board;
    board.start(QStringLiteral(KESTRIN_AVR_BOARD_PATH),
                {QStringLiteral(KESTRIN_FIRMWARE_ELF), QStringLiteral("--frames"), QString::number(kRefreshes),
                 QStringLiteral("--wait-for-host")});
    if (!board.waitForReadyRead(kRunTimeoutMs))
        return std::nullopt;
    kestrin::MainWindow window(QString::fromLocal8Bit(board.readLine()).trimmed());
    window.show();
    window.findChild<QPushButton *>(QStringLiteral("Command3"))->click();
    QEventLoop loop;
    QObject::connect(&board, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kRunTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();

    const QString output = QString::fromLocal8Bit(board.readAllStandardOutput());
    static const QRegularExpression report(QStringLiteral(
        R"(simulated/wall ([0-9.]+), the simulator could run ([0-9.]+) x real time\): ([0-9.]+) refreshes)"));
    const QRegularExpressionMatch match = report.match(output);
    if (!match.hasMatch()) {
        std::fprintf(stderr, "bench_firmware: kestrin-avr-board did not finish\n%s%s\n", qPrintable(output),
                     board.readAllStandardError().constData());
        board.kill();
        board.waitForFinished();
        return std::nullopt;
    }
    return Run{match.captured(3).toDouble(), match.captured(1).toDouble(), match.captured(2).toDouble()};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (QStringLiteral(KESTRIN_AVR_BOARD_PATH).isEmpty()) {
        std::fprintf(stderr, "bench_firmware: the AVR toolchain or simavr is missing\n");
        return 1;
    }
    const std::optional<Sizes> sizes = firmwareSizes();
    const std::optional<Run> run = refreshRun();
    if (!sizes || !run)
        return 1;

    bench::Table table("The board firmware on the simulated ATmega328P (Form1 serving)");
    table.add("firmware flash (text + data)", sizes->flash, kFlashTarget, "B");
    table.add("firmware RAM (data + bss, without stack)", sizes->ram, kRamTarget, "B");
    table.addAtLeast("refreshes/s simulated at 115200, limit 23.2", run->rate, kRateTarget, "/s");
    table.addAtLeast("simulated / wall time", run->simulatedPerWall, kRealTimeTarget, "x");
    table.addAtLeast("simulator speed, x real time", run->speed, kSpeedTarget, "x");
    table.print();
    std::printf("%d refreshes, the rate from the first to the last: %d %% of the line's limit of %.1f\n",
                kRefreshes, static_cast<int>(100.0 * run->rate / kLineLimit + 0.5), kLineLimit);
    return 0;
}

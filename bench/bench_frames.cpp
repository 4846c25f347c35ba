// SPDX-License-Identifier: MIT
// Whole frames (eight pages) through the simulated board: kestrin-board in a
// process of its own asks Form1 for frames over a pseudo-terminal, once paced
// like the 115200-baud line and once as fast as it can. The paced figure
// stands beside the line's own limit: eight one-octet requests and eight
// 61-octet pages of ten bit times each, 23.2 frames per second. Runs on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "bench_table.h"
#include "handler_boundary.h"
#include "main_window.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <string>

namespace {

constexpr int kPacedFrames = 100;
constexpr int kUnpacedFrames = 1000;
constexpr double kBitsPerOctet = 10.0; // start bit, eight data bits, stop bit
constexpr double kBaud = 115200.0;
constexpr double kFrameOctets = 488.0;
constexpr double kLineLimit = kBaud / kBitsPerOctet / kFrameOctets; // 23.6 frames per second
// The board waits for each page before it asks for the next, so the paced
// board's frame also carries its eight one-octet requests: 23.2 frames per
// second. What is missing to it is the host's time to answer each request.
constexpr double kPacedFrameOctets = kFrameOctets + 8.0;
constexpr double kPacedLimit = kBaud / kBitsPerOctet / kPacedFrameOctets;
constexpr double kPacedTarget = 22.5;
constexpr std::chrono::seconds kRunTimeout{120};

// Starts the board, opens Form1 on its pseudo-terminal and waits for the
// board's verdict; nullopt when it fails, with what the board and Form1
// said on stderr. (Form1 always reports the line lost when the board ends.)
std::optional<double> framesPerSecond(int frames, bool paced)
{
    QStringList reports;
    const kestrin::ErrorReporter previous = kestrin::setErrorReporter(
        [&reports](std::string_view handler, std::string_view message) {
            reports.append(QString::fromUtf8(handler.data(), static_cast<qsizetype>(handler.size())) + ": "
                           + QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
        });
    const auto restore = qScopeGuard([&previous] { kestrin::setErrorReporter(previous); });
    QProcess board;
    QStringList arguments{QStringLiteral("--frames"), QString::number(frames), QStringLiteral("--ascii")};
    if (paced)
        arguments.append(QStringLiteral("--paced"));
    board.start(QStringLiteral(KESTRIN_BOARD_PATH), arguments);
    if (!board.waitForStarted() || !board.waitForReadyRead(static_cast<int>(kRunTimeout.count() * 1000))) {
        std::fprintf(stderr, "bench_frames: kestrin-board did not start\n");
        return std::nullopt;
    }
    const QString device = QString::fromLocal8Bit(board.readLine()).trimmed();

    kestrin::MainWindow window(device);
    window.show();
    QEventLoop loop;
    QObject::connect(&board, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kRunTimeout, &loop, &QEventLoop::quit);
    loop.exec();

    const QString output = QString::fromLocal8Bit(board.readAllStandardOutput());
    static const QRegularExpression verdict(QStringLiteral("frames in [0-9.]+ s: ([0-9.]+) frames per second"));
    const QRegularExpressionMatch match = verdict.match(output);
    if (board.state() != QProcess::NotRunning || board.exitCode() != 0 || !match.hasMatch()) {
        std::fprintf(stderr, "bench_frames: kestrin-board on %s did not finish its %d frames\n%s%s\n",
                     qPrintable(device), frames, board.readAllStandardError().constData(),
                     qPrintable(reports.join('\n')));
        board.kill();
        board.waitForFinished();
        return std::nullopt;
    }
    return match.captured(1).toDouble();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::optional<double> paced = framesPerSecond(kPacedFrames, true);
    const std::optional<double> unpaced = framesPerSecond(kUnpacedFrames, false);
    if (!paced || !unpaced)
        return 1;

    const int share = static_cast<int>(100.0 * *paced / kPacedLimit + 0.5);
    bench::Table table("Frames through kestrin-board over a pseudo-terminal (Form1 serving)");
    table.addAtLeast("frames/s paced at 115200 baud, limit 23.2", *paced, kPacedTarget, "/s");
    table.addAtLeast("frames/s unpaced", *unpaced, kLineLimit, "/s");
    table.print();
    std::printf("paced: %d frames, %d %% of the line's limit of %.1f frames per second; "
                "unpaced: %d frames\n",
                kPacedFrames, share, kPacedLimit, kUnpacedFrames);
    return 0;
}

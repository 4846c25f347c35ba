// SPDX-License-Identifier: MIT
// kestrin serve beside the window, both as whole processes on a
// pseudo-terminal in the same run: the time from a request written by the
// board to the 61st octet read back (the host's share of a page plus the
// pseudo-terminal's), and each process's peak resident memory after the run.
// The window runs offscreen; serve runs with no display at all.
#include "bench_table.h"
#include "board_line.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <chrono>
#include <cstdio>
#include <string>

#include <csignal>

namespace {

constexpr int kWarmUp = 200;
constexpr int kRequests = 3000;
constexpr double kTargetMs = 1.0;
// A page's own time on a real 115200-baud line: the host must always be quicker.
constexpr double kLinePageMs = 61 * 10 * 1000.0 / 115200;
constexpr double kServeTargetMegabytes = 20.0;
constexpr double kWindowTargetMegabytes = 60.0;
constexpr double kKilobytesPerMegabyte = 1024.0;
constexpr std::chrono::milliseconds kTimeout{2000};

struct Measured
{
    bench::Samples latencies;
    double peakMegabytes = 0.0;
    bool failed = true;
};

long peakKilobytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

bool readPage(board::BoardLine &line)
{
    std::size_t got = 0;
    while (got < 61) {
        const std::string chunk = line.readSome(kTimeout);
        if (chunk.empty())
            return false;
        got += chunk.size();
    }
    return got == 61;
}

Measured measure(const QStringList &arguments, const QProcessEnvironment &environment)
{
    Measured measured;
    board::BoardLine line = board::BoardLine::createPty();
    QProcess host;
    host.setProcessEnvironment(environment);
    host.start(QStringLiteral(KESTRIN_PATH), arguments + QStringList{QStringLiteral("--port"),
                                                                    QString::fromStdString(line.path())});
    line.waitForHost();
    line.write("0");
    if (!line.waitUntilRead(kTimeout))
        return measured;
    for (int index = 0; index < kWarmUp + kRequests; ++index) {
        const std::string request = std::to_string(index % 9);
        const auto sent = std::chrono::steady_clock::now();
        line.write(request);
        if (!readPage(line))
            return measured;
        const auto answered = std::chrono::steady_clock::now();
        if (index >= kWarmUp)
            measured.latencies.push_back(std::chrono::duration<double, std::milli>(answered - sent).count());
    }
    measured.peakMegabytes = static_cast<double>(peakKilobytes(host.processId())) / kKilobytesPerMegabyte;
    ::kill(static_cast<pid_t>(host.processId()), SIGTERM);
    if (!host.waitForFinished(static_cast<int>(kTimeout.count())))
        host.kill();
    measured.failed = false;
    return measured;
}

} // namespace

int main()
{
    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        headless.remove(QString::fromLatin1(name));
    QProcessEnvironment offscreen = headless;
    offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    const Measured serve = measure({QStringLiteral("serve")}, headless);
    const Measured window = measure({}, offscreen);
    if (serve.failed || window.failed) {
        std::fprintf(stderr, "bench_headless: the %s did not answer a request in time\n",
                     serve.failed ? "serve command" : "window");
        return 1;
    }
    bench::Table table("kestrin serve beside the window, whole processes on a pseudo-terminal ("
                       + std::to_string(kRequests) + " requests each)");
    table.add("serve: peak resident memory (VmHWM)", serve.peakMegabytes, kServeTargetMegabytes, "MB");
    table.add("window: peak resident memory (VmHWM)", window.peakMegabytes, kWindowTargetMegabytes, "MB");
    table.add("serve: request to 61st octet, median", bench::median(serve.latencies), kTargetMs, "ms");
    table.add("serve: request to 61st octet, p99", bench::percentile(serve.latencies, 0.99), kLinePageMs, "ms");
    table.add("window: request to 61st octet, median", bench::median(window.latencies), kTargetMs, "ms");
    table.add("window: request to 61st octet, p99", bench::percentile(window.latencies, 0.99), kLinePageMs, "ms");
    table.print();
    return 0;
}

// SPDX-License-Identifier: MIT
// Serving pages over a pseudo-terminal: from a request written by the board
// to the 61st octet read back, the host's own share of it, and pages per
// second. The board runs on its
// own thread with blocking reads, the program's serial side on the event
// loop as in the program.
#include "bench_table.h"
#include "board_session.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kWarmUp = 200;
constexpr int kRequests = 5000;
constexpr int kTimeoutMs = 2000;
constexpr double kTargetMs = 1.0;
constexpr double kLinePageMs = 61 * 10 * 1000.0 / 115200; // 5.30 ms on the real line
constexpr std::chrono::milliseconds kSettle{50};

struct Pty
{
    int master = -1;
    int slave = -1;
    std::string path;
};

Pty openRawPty()
{
    Pty pty;
    std::array<char, 256> name{};
    if (::openpty(&pty.master, &pty.slave, name.data(), nullptr, nullptr) != 0)
        return pty;
    termios settings{};
    ::tcgetattr(pty.slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(pty.slave, TCSANOW, &settings);
    pty.path = name.data();
    return pty;
}

bool readPage(int master)
{
    std::array<char, 256> chunk{};
    std::size_t got = 0;
    while (got < kestrin::kPageColumns) {
        pollfd readable{master, POLLIN, 0};
        if (::poll(&readable, 1, kTimeoutMs) <= 0)
            return false;
        const ssize_t count = ::read(master, chunk.data(), chunk.size());
        if (count <= 0)
            return false;
        got += static_cast<std::size_t>(count);
    }
    return got == kestrin::kPageColumns;
}

// The board: greets, waits until the host has read the greeting, then asks
// for one page at a time and times each answer.
bench::Samples playBoard(const Pty &pty, double &pagesPerSecond, bool &failed)
{
    bench::Samples samples;
    (void)::write(pty.master, "0", 1);
    std::this_thread::sleep_for(kSettle);
    int waiting = 1;
    while (::ioctl(pty.slave, FIONREAD, &waiting) == 0 && waiting > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(100));

    const auto start = std::chrono::steady_clock::now();
    for (int index = 0; index < kWarmUp + kRequests && !failed; ++index) {
        const std::string request = std::to_string(index % 9);
        const auto sent = std::chrono::steady_clock::now();
        failed = ::write(pty.master, request.data(), request.size()) != static_cast<ssize_t>(request.size())
                 || !readPage(pty.master);
        const auto answered = std::chrono::steady_clock::now();
        if (index >= kWarmUp)
            samples.push_back(std::chrono::duration<double, std::milli>(answered - sent).count());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    pagesPerSecond = (kWarmUp + kRequests) / seconds;
    return samples;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Pty pty = openRawPty();
    if (pty.master < 0) {
        std::fprintf(stderr, "bench_serve: cannot create a pseudo-terminal\n");
        return 1;
    }

    kestrin::FrameBuffer buffer;
    for (int page = 0; page < kestrin::kPageCount; ++page) {
        for (int column = 0; column < kestrin::kPageColumns; ++column)
            buffer.write(page, column, static_cast<std::uint8_t>(page * 31 + column));
    }
    kestrin::BoardSession session(QString::fromStdString(pty.path), buffer);
    // The host's share: from the request read to its page's last octet written.
    bench::Samples hostSamples;
    std::chrono::steady_clock::time_point requested;
    QObject::connect(&session, &kestrin::BoardSession::requested,
                     [&requested] { requested = std::chrono::steady_clock::now(); });
    QObject::connect(&session, &kestrin::BoardSession::pagesDone, [&requested, &hostSamples] {
        hostSamples.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - requested).count());
    });
    session.setUp();

    double pagesPerSecond = 0;
    bool failed = false;
    bench::Samples samples;
    std::thread board([&] {
        samples = playBoard(pty, pagesPerSecond, failed);
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    board.join();
    if (failed) {
        std::fprintf(stderr, "bench_serve: the host did not answer a request in time\n");
        return 1;
    }

    bench::Table table("Serve a page over a pseudo-terminal (" + std::to_string(kRequests)
                       + " requests, request written to 61st octet read)");
    // The warm-up requests are not part of the measurement.
    hostSamples.erase(hostSamples.begin(), hostSamples.begin() + std::min<std::size_t>(hostSamples.size(), kWarmUp));
    table.add("host's share of a page, median", bench::median(hostSamples), kTargetMs, "ms");
    table.add("host's share of a page, p99", bench::percentile(hostSamples, 0.99), kTargetMs, "ms");
    table.add("request to page, median", bench::median(samples), kTargetMs, "ms");
    table.add("request to page, p99", bench::percentile(samples, 0.99), kTargetMs, "ms");
    table.add("request to page, max", bench::maximum(samples), kLinePageMs, "ms");
    table.addAtLeast("pages per second", pagesPerSecond, 1000.0 / kLinePageMs, "/s");
    table.print();
    return 0;
}

// SPDX-License-Identifier: MIT
// Boards on the network, over loopback: the time from a request written by
// the board to the 61st octet read back, for a board on a tcp:// connection
// beside one on a pseudo-terminal (the board session in this process), for
// a board behind ser2net in raw and in telnet mode, and for four boards
// served at once by one `kestrin serve` beside one board served alone. The
// boards run on threads of their own with blocking reads.
#include "bench_table.h"
#include "board_line.h"
#include "board_session.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kWarmUp = 200;
constexpr int kRequests = 3000;
constexpr int kRequestsEach = 2000; // four boards at once
constexpr int kBoards = 4;
constexpr double kTargetMs = 1.0;
constexpr double kBridgeTargetMs = 2.0;
constexpr double kLinePageMs = 61 * 10 * 1000.0 / 115200; // 5.30 ms on the real line
constexpr std::chrono::milliseconds kTimeout{2000};
constexpr std::chrono::milliseconds kGreetingAlone{100};

// The board's side of a line, whatever carries it.
struct BoardEnd
{
    std::function<void(std::string_view)> write;
    std::function<std::string(std::chrono::milliseconds)> readSome; // empty on timeout
    std::function<void()> greetingRead = [] {};
};

struct Result
{
    bench::Samples latencies;
    bool failed = true;
};

// Greets, lets the host read the greeting on its own, then asks for one page
// at a time and times each answer.
Result playBoard(const BoardEnd &board, int requests)
{
    Result result;
    board.write("0");
    board.greetingRead();
    std::this_thread::sleep_for(kGreetingAlone);
    for (int index = 0; index < kWarmUp + requests; ++index) {
        const auto sent = std::chrono::steady_clock::now();
        board.write(std::to_string(index % 9));
        for (std::size_t got = 0; got < 61;) {
            const std::string chunk = board.readSome(kTimeout);
            if (chunk.empty())
                return result;
            got += chunk.size();
        }
        if (index >= kWarmUp)
            result.latencies.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count());
    }
    result.failed = false;
    return result;
}

BoardEnd ptyEnd(board::BoardLine &line)
{
    return {[&line](std::string_view text) { line.write(text); },
            [&line](std::chrono::milliseconds timeout) { return line.readSome(timeout); },
            [&line] { (void)line.waitUntilRead(kTimeout); }};
}

BoardEnd socketEnd(int socket)
{
    return {[socket](std::string_view text) { (void)::send(socket, text.data(), text.size(), MSG_NOSIGNAL); },
            [socket](std::chrono::milliseconds timeout) {
                pollfd readable{socket, POLLIN, 0};
                std::array<char, 256> chunk{};
                const ssize_t count = ::poll(&readable, 1, int(timeout.count())) > 0
                                          ? ::recv(socket, chunk.data(), chunk.size(), 0) : 0;
                return std::string(chunk.data(), count > 0 ? std::size_t(count) : 0);
            }};
}

kestrin::FrameBuffer distinctFrame()
{
    kestrin::FrameBuffer frame;
    for (int page = 0; page < kestrin::kPageCount; ++page) {
        for (int column = 0; column < kestrin::kPageColumns; ++column)
            frame.write(page, column, static_cast<std::uint8_t>(page * 61 + column));
    }
    return frame;
}

// The board session on device in this process's event loop, the board on a thread.
Result serveInProcess(const QString &device, const std::function<Result()> &board)
{
    const kestrin::FrameBuffer frame = distinctFrame();
    kestrin::BoardSession session(device, frame);
    session.setUp();
    Result result;
    std::thread playing([&] {
        result = board();
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    playing.join();
    return result;
}

quint16 freePort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::getsockname(probe, reinterpret_cast<sockaddr *>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

// A bridge of our own: the board listens on loopback and kestrin connects.
// Also counts the TCP segments carrying data that reached the board.
Result servedOverTcp(double &segmentsPerPage)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::listen(listener, 1);
    ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length);
    const QString device = QStringLiteral("tcp://127.0.0.1:%1").arg(ntohs(address.sin_port));
    const Result result = serveInProcess(device, [&] {
        const int board = ::accept(listener, nullptr, nullptr);
        Result played = playBoard(socketEnd(board), kRequests);
        tcp_info info{};
        socklen_t size = sizeof info;
        ::getsockopt(board, IPPROTO_TCP, TCP_INFO, &info, &size);
        segmentsPerPage = double(info.tcpi_data_segs_in) / (kWarmUp + kRequests);
        ::close(board);
        return played;
    });
    ::close(listener);
    return result;
}

Result servedOverPty()
{
    board::BoardLine line = board::BoardLine::createPty();
    return serveInProcess(QString::fromStdString(line.path()), [&] {
        line.waitForHost();
        return playBoard(ptyEnd(line), kRequests);
    });
}

// ser2net in front of the board's pseudo-terminal, in raw or telnet mode.
// By default ser2net holds what comes from the board for at least a
// millisecond, waiting for more; the configuration kestrin's README gives
// turns that off.
Result servedThroughSer2net(const QString &program, bool telnet, bool charDelay = false)
{
    board::BoardLine line = board::BoardLine::createPty();
    const QTemporaryDir directory;
    const quint16 port = freePort();
    QFile config(directory.filePath(QStringLiteral("bridge.yaml")));
    if (!config.open(QIODevice::WriteOnly))
        return {};
    config.write(QStringLiteral("connection: &board\n  accepter: %1tcp,127.0.0.1,%2\n"
                                "  connector: serialdev,%3,115200n81,local\n  options:\n    chardelay: %4\n")
                     .arg(telnet ? QStringLiteral("telnet(rfc2217),") : QString())
                     .arg(port)
                     .arg(QString::fromStdString(line.path()), charDelay ? "true" : "false")
                     .toUtf8());
    config.close();
    QProcess bridge;
    bridge.setStandardOutputFile(QProcess::nullDevice());
    bridge.setStandardErrorFile(QProcess::nullDevice());
    bridge.start(program, {"-n", "-u", "-c", config.fileName()});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const QString device = QStringLiteral("%1://127.0.0.1:%2").arg(telnet ? "rfc2217" : "tcp").arg(port);
    const Result result = serveInProcess(device, [&] {
        line.waitForHost();
        return playBoard(ptyEnd(line), kRequests);
    });
    bridge.terminate();
    if (!bridge.waitForFinished(int(kTimeout.count())))
        bridge.kill();
    bridge.waitForFinished();
    return result;
}

// One `kestrin serve` for count boards on pseudo-terminals, all asking at once.
std::vector<Result> servedByOneServe(int count)
{
    std::vector<board::BoardLine> lines;
    QStringList arguments{QStringLiteral("serve")};
    for (int index = 0; index < count; ++index) {
        lines.push_back(board::BoardLine::createPty());
        arguments << QStringLiteral("--port") << QString::fromStdString(lines.back().path());
    }
    QProcess serve;
    serve.setStandardErrorFile(QProcess::nullDevice());
    serve.start(QStringLiteral(KESTRIN_PATH), arguments);
    std::vector<Result> results(static_cast<std::size_t>(count));
    std::vector<std::thread> boards;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        boards.emplace_back([&, index] {
            lines[index].waitForHost();
            results[index] = playBoard(ptyEnd(lines[index]), kRequestsEach);
        });
    }
    for (std::thread &board : boards)
        board.join();
    ::kill(static_cast<pid_t>(serve.processId()), SIGTERM);
    serve.waitForFinished();
    return results;
}

void addLatency(bench::Table &table, const std::string &name, const Result &result, double medianTarget)
{
    table.add(name + ", median", bench::median(result.latencies), medianTarget, "ms");
    table.add(name + ", p99", bench::percentile(result.latencies, 0.99), kLinePageMs, "ms");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    double segmentsPerPage = 0;
    const Result tcp = servedOverTcp(segmentsPerPage);
    const Result pty = servedOverPty();
    const QString ser2net = QStandardPaths::findExecutable(QStringLiteral("ser2net"), {"/usr/sbin", "/usr/bin"});
    const Result raw = ser2net.isEmpty() ? Result{} : servedThroughSer2net(ser2net, false);
    const Result telnet = ser2net.isEmpty() ? Result{} : servedThroughSer2net(ser2net, true);
    const Result waiting = ser2net.isEmpty() ? Result{} : servedThroughSer2net(ser2net, false, true);
    const std::vector<Result> alone = servedByOneServe(1);
    const std::vector<Result> four = servedByOneServe(kBoards);

    bench::Table table("Boards on the network, over loopback (" + std::to_string(kRequests)
                       + " requests each, request written to 61st octet read)");
    addLatency(table, "tcp://: request to 61st octet", tcp, kTargetMs);
    table.add("tcp://: TCP segments with data per page", segmentsPerPage, 61, "");
    addLatency(table, "pty beside it: request to 61st octet", pty, kTargetMs);
    addLatency(table, "ser2net raw: request to 61st octet", raw, kBridgeTargetMs);
    addLatency(table, "ser2net rfc2217: request to 61st", telnet, kBridgeTargetMs);
    table.add("ser2net raw, its chardelay on: median", bench::median(waiting.latencies), kLinePageMs, "ms");
    const double aloneP99 = bench::percentile(alone.front().latencies, 0.99);
    table.add("serve, one board alone: p99", aloneP99, kLinePageMs, "ms");
    // Four boards that each ask again the moment a page is in share every turn
    // of the event loop; each still has its page sooner than one real line
    // carries it, so four boards at 115200 baud never wait for the host.
    for (std::size_t index = 0; index < four.size(); ++index)
        table.add("serve, four boards: board " + std::to_string(index + 1) + " p99",
                  bench::percentile(four[index].latencies, 0.99), kLinePageMs, "ms");
    table.print();
    bool failed = tcp.failed || pty.failed || raw.failed || telnet.failed || waiting.failed || alone.front().failed;
    for (const Result &result : four)
        failed = failed || result.failed;
    if (failed)
        std::fprintf(stderr, "bench_network: a board was not answered in time%s\n",
                     ser2net.isEmpty() ? " (ser2net is not installed)" : "");
    return failed ? 1 : 0;
}

// SPDX-License-Identifier: MIT
// The LCDproc server beside the board it feeds, in one event loop as in
// kestrin serve --lcdproc: how long a client's widget_set takes to reach the
// wire (the board, paced like the 115200-baud line, asks for its pages all
// the time), and the board's page answers while 64 clients each send 1,000
// commands a second, beside the same with no client: as a board on a
// 115200-baud line sees them, and as fast as a board could ask (the host's
// own share). Clients and the board run on threads of their own with plain
// sockets and the board's line code.
#include "bench_table.h"
#include "board_client.h"
#include "board_line.h"
#include "board_session.h"
#include "lcdproc_server.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kChanges = 150;
constexpr double kTickMs = 125.0;
constexpr int kFloodClients = 64;
constexpr int kCommandsPerTurn = 10; // every 10 ms: 1,000 commands a second a client
constexpr std::chrono::milliseconds kFloodTurn{10};
constexpr int kRequests = 3000;
constexpr int kPacedRequests = 600;
constexpr double kLinePageMs = 61 * 10 * 1000.0 / 115200; // 5.30 ms on the real line

int connectTo(quint16 port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    return fd;
}

void sendAll(int fd, const std::string &text)
{
    for (std::size_t sent = 0; sent < text.size();) {
        const ssize_t now = send(fd, text.data() + sent, text.size() - sent, 0);
        if (now <= 0)
            return;
        sent += std::size_t(now);
    }
}

void drain(int fd)
{
    char buffer[65536];
    while (recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
    }
}

// An hbar of length pixels from cell (1, 1) fills pixel rows 1..6 of page 0's
// first columns.
int barLength(const board::Page &page)
{
    return int(std::count_if(page.begin(), page.end(), [](std::uint8_t octet) { return (octet & 0x7E) == 0x7E; }));
}

// The client: a foreground screen with one bar, set to a new length and
// timed until the board has it on its LCD.
bench::Samples widgetToWire(quint16 port, const std::atomic<int> &shown)
{
    const int fd = connectTo(port);
    sendAll(fd, "hello\nscreen_add s\nscreen_set s -priority foreground -heartbeat off\nwidget_add s b hbar\n");
    std::mt19937 random(13);
    bench::Samples samples;
    int length = 0;
    for (int change = 0; change < kChanges + 2; ++change) {
        length = 6 + (length + 1 + int(random() % 50)) % 55;
        const auto sent = Clock::now();
        sendAll(fd, "widget_set s b 1 1 " + std::to_string(length) + "\n");
        while (shown != length && Clock::now() - sent < 5s)
            std::this_thread::sleep_for(100us);
        if (change >= 2) // the first ones wait for the screen to come up
            samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
        drain(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 60));
    }
    close(fd);
    return samples;
}

// 64 clients, each a command every millisecond, until stopped.
void flood(quint16 port, const std::atomic<bool> &stop)
{
    std::vector<int> clients;
    for (int client = 0; client < kFloodClients; ++client) {
        clients.push_back(connectTo(port));
        sendAll(clients.back(), "hello\nscreen_add f\nwidget_add f w string\n");
    }
    for (int turn = 0; !stop; ++turn) {
        const auto due = Clock::now() + kFloodTurn;
        for (const int fd : clients) {
            std::string commands;
            for (int command = 0; command < kCommandsPerTurn; ++command)
                commands += "widget_set f w 1 2 {" + std::to_string(turn * kCommandsPerTurn + command) + "}\n";
            sendAll(fd, commands);
            drain(fd);
        }
        std::this_thread::sleep_until(due);
    }
    for (const int fd : clients)
        close(fd);
}

// Request to 61st octet.
bench::Samples pageAnswers(board::BoardClient &client, int requests)
{
    bench::Samples samples;
    for (int request = 0; request < requests; ++request) {
        const auto asked = Clock::now();
        (void)client.requestPage(request % 9);
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - asked).count());
    }
    return samples;
}

struct Results
{
    bench::Samples widget;
    bench::Samples quietPaced;
    bench::Samples floodedPaced;
    bench::Samples quiet;
    bench::Samples flooded;
};

void run(board::BoardLine &line, quint16 port, Results &results)
{
    line.waitForHost();
    std::atomic<int> shown = -1;
    std::atomic<bool> stop = false;
    {
        board::BoardClient paced(line, true);
        paced.greet();
        std::thread lcd([&] {
            while (!stop)
                for (const board::PagePlace &place : board::kDisplayOrder) {
                    const board::Page page = paced.requestPage(place.request);
                    if (place.request == 1)
                        shown = barLength(page);
                }
        });
        results.widget = widgetToWire(port, shown);
        stop = true;
        lcd.join();
    }
    board::BoardClient paced(line, true);
    board::BoardClient fast(line, false);
    results.quietPaced = pageAnswers(paced, kPacedRequests);
    results.quiet = pageAnswers(fast, kRequests);
    stop = false;
    std::thread clients([&] { flood(port, stop); });
    std::this_thread::sleep_for(500ms);
    results.floodedPaced = pageAnswers(paced, kPacedRequests);
    results.flooded = pageAnswers(fast, kRequests);
    stop = true;
    clients.join();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    kestrin::LcdprocServer server;
    server.listen(QHostAddress::LocalHost, 0);
    board::BoardLine line = board::BoardLine::createPty();
    kestrin::BoardSession session(QString::fromStdString(line.path()));
    QObject::connect(&server, &kestrin::LcdprocServer::frameChanged, &session,
                     [&] { session.serveFrame(server.frame().toFrame()); });
    session.setUp();
    Results results;
    std::thread board([&] {
        try {
            run(line, server.serverPort(), results);
        } catch (const std::exception &error) {
            std::fprintf(stderr, "bench_lcdproc_board: %s\n", error.what());
        }
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    board.join();
    if (results.flooded.empty())
        return 1;

    bench::Table table("LCDproc clients and the board in one event loop");
    table.add("lcdproc: widget_set to the wire, median", bench::median(results.widget), kTickMs, "ms");
    table.add("lcdproc: widget_set to the wire, p99", bench::percentile(results.widget, 0.99), kTickMs, "ms");
    const double quiet = bench::percentile(results.quietPaced, 0.99);
    table.add("lcdproc: page p99 at 115200, no clients", quiet, kLinePageMs + 1.0, "ms");
    table.add("lcdproc: at 115200, 64 clients x 1000 cmd/s", bench::percentile(results.floodedPaced, 0.99), quiet + 1.0,
              "ms");
    table.add("lcdproc: page p99 unpaced, no clients", bench::percentile(results.quiet, 0.99), 1.0, "ms");
    table.add("lcdproc: unpaced, 64 clients x 1000 cmd/s", bench::percentile(results.flooded, 0.99), kLinePageMs, "ms");
    table.print();
    return 0;
}

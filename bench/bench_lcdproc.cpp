// SPDX-License-Identifier: MIT
// The LCDproc server's CPU time per client command: 64 clients on loopback,
// each sending a burst of widget_set commands at once. The clients run on a
// thread of their own with plain sockets, so the time measured is only that
// of the thread the server runs on (the program's event loop), from the
// first command of the bursts to the last reply.

#include "bench_table.h"
#include "lcdproc_server.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kClients = 64;
constexpr int kBurst = 2000; // widget_set commands a client sends at once

struct Client
{
    int fd = -1;
    std::string pending; // still to send
    int replies = 0;     // lines still to hear
};

double threadCpuSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Sends every client's pending text and reads until each heard its replies.
void exchange(std::vector<Client> &clients)
{
    std::vector<pollfd> polls(clients.size());
    for (bool waiting = true; waiting;) {
        for (std::size_t i = 0; i < clients.size(); ++i)
            polls[i] = {clients[i].fd, static_cast<short>(POLLIN | (clients[i].pending.empty() ? 0 : POLLOUT)), 0};
        poll(polls.data(), polls.size(), 1000);
        waiting = false;
        for (std::size_t i = 0; i < clients.size(); ++i) {
            Client &client = clients[i];
            if ((polls[i].revents & POLLOUT) != 0) {
                const ssize_t sent = send(client.fd, client.pending.data(), client.pending.size(), MSG_DONTWAIT);
                client.pending.erase(0, sent > 0 ? static_cast<std::size_t>(sent) : 0);
            }
            char buffer[65536];
            for (ssize_t got; (polls[i].revents & POLLIN) != 0 && (got = recv(client.fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0;)
                client.replies -= static_cast<int>(std::count(buffer, buffer + got, '\n'));
            waiting = waiting || client.replies > 0 || !client.pending.empty();
        }
    }
}

double measure(quint16 port, clockid_t serverClock)
{
    std::vector<Client> clients(kClients);
    for (Client &client : clients) {
        client.fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connect(client.fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
        client.pending = "hello\nscreen_add s\nwidget_add s w string\n";
        client.replies = 3;
    }
    exchange(clients);
    for (Client &client : clients) {
        for (int i = 0; i < kBurst; ++i)
            client.pending += "widget_set s w 1 2 {CPU " + std::to_string(i % 100) + ".5% busy}\n";
        client.replies = kBurst;
    }
    const double start = threadCpuSeconds(serverClock);
    exchange(clients);
    const double used = threadCpuSeconds(serverClock) - start;
    for (const Client &client : clients)
        close(client.fd);
    return used * 1e6 / (kClients * kBurst);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    kestrin::LcdprocServer server;
    server.listen(QHostAddress::LocalHost, 0);
    clockid_t serverClock{};
    pthread_getcpuclockid(pthread_self(), &serverClock);
    double perCommand = 0;
    std::thread clients([&] {
        perCommand = measure(server.serverPort(), serverClock);
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    clients.join();

    bench::Table table("LCDproc server, 64 clients on loopback");
    table.add("lcdproc: server CPU time per client command", perCommand, 20.0, "us");
    table.print();
    return 0;
}

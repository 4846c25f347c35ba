// SPDX-License-Identifier: MIT
#include "board_line.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace board {

namespace {

constexpr std::size_t kChunk = 4096;
// A write to the master side reaches the slave's input queue a moment later.
// Past this settling time an empty queue means the host has read it.
constexpr std::chrono::milliseconds kSettle{50};
constexpr std::chrono::microseconds kQueuePoll{200};

[[noreturn]] void fail(const std::string &what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void makeRaw(int descriptor, const std::string &path)
{
    termios settings{};
    if (::tcgetattr(descriptor, &settings) != 0)
        fail("cannot read the line settings of " + path);
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B115200);
    if (::tcsetattr(descriptor, TCSANOW, &settings) != 0)
        fail("cannot set " + path + " raw");
}

void closeIfOpen(int &descriptor)
{
    if (descriptor >= 0)
        ::close(std::exchange(descriptor, -1));
}

} // namespace

BoardLine BoardLine::createPty()
{
    BoardLine line;
    std::array<char, 256> name{};
    if (::openpty(&line.m_line, &line.m_slave, name.data(), nullptr, nullptr) != 0)
        fail("cannot create a pseudo-terminal");
    // Programs started later (a host, a bridge) must not hold the line open.
    ::fcntl(line.m_line, F_SETFD, FD_CLOEXEC);
    ::fcntl(line.m_slave, F_SETFD, FD_CLOEXEC);
    line.m_path = name.data();
    // Raw at once, before the host is there: otherwise what we write is
    // echoed back and translated by the slave side's line discipline.
    makeRaw(line.m_slave, line.m_path);
    // The host's open is seen as an inotify open event on the slave device,
    // which works while we keep our own slave descriptor open (a hang-up on
    // the master would only show while no slave descriptor is open at all).
    line.m_openWatch = ::inotify_init1(IN_CLOEXEC);
    if (line.m_openWatch < 0 || ::inotify_add_watch(line.m_openWatch, name.data(), IN_OPEN) < 0)
        fail("cannot watch " + line.m_path);
    return line;
}

BoardLine BoardLine::openDevice(const std::string &path)
{
    BoardLine line;
    line.m_path = path;
    line.m_line = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (line.m_line < 0)
        fail("cannot open " + path);
    makeRaw(line.m_line, path);
    return line;
}

BoardLine::BoardLine(BoardLine &&other) noexcept
    : m_line(std::exchange(other.m_line, -1)),
      m_slave(std::exchange(other.m_slave, -1)),
      m_openWatch(std::exchange(other.m_openWatch, -1)),
      m_path(std::move(other.m_path))
{
}

BoardLine::~BoardLine()
{
    closeIfOpen(m_openWatch);
    closeIfOpen(m_slave);
    closeIfOpen(m_line);
}

void BoardLine::waitForHost()
{
    if (m_openWatch < 0)
        return;
    alignas(inotify_event) std::array<char, kChunk> events{};
    if (::read(m_openWatch, events.data(), events.size()) <= 0)
        fail("cannot watch " + m_path);
    closeIfOpen(m_openWatch);
}

void BoardLine::write(std::string_view octets)
{
    while (!octets.empty()) {
        const ssize_t written = ::write(m_line, octets.data(), octets.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail("cannot write to " + m_path);
        }
        octets.remove_prefix(static_cast<std::size_t>(written));
    }
}

bool BoardLine::waitUntilRead(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::this_thread::sleep_for(kSettle);
    if (m_slave < 0)
        return ::tcdrain(m_line) == 0;
    while (waitingForHost() > 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kQueuePoll);
    }
    return true;
}

int BoardLine::waitingForHost() const
{
    int waiting = 0;
    return m_slave >= 0 && ::ioctl(m_slave, FIONREAD, &waiting) == 0 ? waiting : 0;
}

std::string BoardLine::readSome(std::chrono::milliseconds timeout)
{
    pollfd readable{m_line, POLLIN, 0};
    const int ready = ::poll(&readable, 1, static_cast<int>(timeout.count()));
    if (ready < 0 && errno != EINTR)
        fail("cannot wait for " + m_path);
    if (ready <= 0)
        return {};
    std::array<char, kChunk> chunk{};
    const ssize_t count = ::read(m_line, chunk.data(), chunk.size());
    if (count < 0)
        fail("cannot read from " + m_path);
    if (count == 0)
        throw std::runtime_error(m_path + " was closed");
    return {chunk.data(), static_cast<std::size_t>(count)};
}

} // namespace board

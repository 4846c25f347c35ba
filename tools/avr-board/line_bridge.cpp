// SPDX-License-Identifier: MIT
#include "line_bridge.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <sys/prctl.h>

namespace board {

namespace {

using Seconds = std::chrono::duration<double>;

constexpr std::chrono::milliseconds kHostPoll{1};
constexpr std::uint64_t kSliceCycles = AvrMachine::kFrequency / 1'000'000 * LineBridge::kSlice.count();

std::uint64_t cyclesIn(std::chrono::steady_clock::duration elapsed)
{
    return static_cast<std::uint64_t>(Seconds(elapsed).count() * AvrMachine::kFrequency);
}

} // namespace

std::string BridgeReport::summary() const
{
    std::array<char, 256> text{};
    std::snprintf(text.data(), text.size(),
                  "%ld refreshes in %.3f s simulated, %.3f s wall (simulated/wall %.3f, the simulator "
                  "could run %.1f x real time): %.2f refreshes per simulated second, the line allows "
                  "%.1f; %ld unknown commands",
                  refreshes, simulatedSeconds, wallSeconds, wallSeconds > 0 ? simulatedSeconds / wallSeconds : 0.0,
                  busySeconds > 0 ? simulatedSeconds / busySeconds : 0.0, refreshRate, LineBridge::kLineLimit,
                  unknownCommands);
    return text.data();
}

LineBridge::LineBridge(AvrMachine &machine, BoardLine &line)
    : m_machine(machine), m_line(line), m_host(line.path())
{
}

void LineBridge::recordTo(GifRecording &recording)
{
    const std::lock_guard lock(m_mutex);
    m_recording = &recording;
    m_machine.keepRefreshes();
}

void LineBridge::waitForHost(std::stop_token stop)
{
    while (!stop.stop_requested() && !m_host.hostPresent())
        std::this_thread::sleep_for(kHostPoll);
}

void LineBridge::run(std::stop_token stop, long refreshes)
{
    // Sleeps of a tenth of a millisecond must not take half as long again.
    ::prctl(PR_SET_TIMERSLACK, 1UL);
    {
        const std::lock_guard lock(m_mutex);
        m_start = Clock::now();
        m_startCycle = m_machine.cycle();
    }
    while (!stop.stop_requested()) {
        const std::uint64_t now = m_startCycle + cyclesIn(Clock::now() - m_start);
        if (m_machine.cycle() <= now) {
            if (!runSlice(std::max(m_machine.cycle(), now) + kSliceCycles))
                throw std::runtime_error("the firmware stopped after "
                                         + std::to_string(m_machine.cycle() / (AvrMachine::kFrequency / 1000))
                                         + " ms simulated");
            if (refreshes > 0 && m_machine.module().refreshes() >= refreshes)
                break;
        } else {
            std::this_thread::sleep_for(
                std::chrono::nanoseconds((m_machine.cycle() - now) * 1'000'000'000 / AvrMachine::kFrequency));
        }
        const std::string received = m_line.readSome(std::chrono::milliseconds(0));
        if (!received.empty()) {
            const std::lock_guard lock(m_mutex);
            m_machine.receive(received);
        }
    }
}

// Runs up to target and passes on what the firmware sent. False once the
// firmware has stopped (slept with interrupts off) or crashed.
bool LineBridge::runSlice(std::uint64_t target)
{
    std::string sent;
    std::vector<Refresh> refreshes;
    bool running = true;
    {
        const std::lock_guard lock(m_mutex);
        const Clock::time_point from = Clock::now();
        running = m_machine.runUntil(target);
        const Clock::time_point to = Clock::now();
        m_busy += to - from;
        m_wall = to - m_start;
        sent = m_machine.takeSent();
        refreshes = m_machine.takeRefreshes();
    }
    if (!sent.empty() && m_host.hostPresent())
        m_line.write(sent);
    for (const Refresh &refresh : refreshes)
        m_recording->add(refresh.picture, std::chrono::duration_cast<GifRecording::Time>(
                                              Seconds(static_cast<double>(refresh.cycle) / AvrMachine::kFrequency)));
    return running;
}

BridgeReport LineBridge::report() const
{
    const std::lock_guard lock(m_mutex);
    BridgeReport report;
    const double frequency = AvrMachine::kFrequency;
    report.simulatedSeconds = static_cast<double>(m_machine.cycle() - m_startCycle) / frequency;
    report.wallSeconds = Seconds(m_wall).count();
    report.busySeconds = Seconds(m_busy).count();
    report.refreshes = m_machine.module().refreshes();
    const double between = static_cast<double>(m_machine.lastRefreshCycle() - m_machine.firstRefreshCycle());
    if (report.refreshes > 1 && between > 0)
        report.refreshRate = static_cast<double>(report.refreshes - 1) * frequency / between;
    report.unknownCommands = m_machine.module().unknownCommands();
    report.picture = m_machine.module().picture();
    return report;
}

} // namespace board

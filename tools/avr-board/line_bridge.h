// SPDX-License-Identifier: MIT
#pragma once

#include "avr_machine.h"
#include "board_line.h"
#include "gif_recording.h"
#include "host_watch.h"
#include "lcd_frame.h"

#include <chrono>
#include <mutex>
#include <stop_token>
#include <string>

namespace board {

// Where a run stands: time, refreshes of the module, and what it shows.
struct BridgeReport
{
    double simulatedSeconds = 0;
    double wallSeconds = 0;
    // Wall time spent simulating: simulatedSeconds / busySeconds is how
    // many times faster than real time the simulator could run.
    double busySeconds = 0;
    long refreshes = 0;
    // Refreshes per simulated second between the first and the last.
    double refreshRate = 0;
    long unknownCommands = 0;
    LcdFrame picture;

    // One line: time, the refresh rate beside the line's limit, the ratios.
    [[nodiscard]] std::string summary() const;
};

// Runs the firmware in step with the wall clock and carries its serial line
// to and from the pseudo-terminal. A real board does not wait for its host,
// so neither does the simulation: a firmware that waits 100 ms for the host
// waits 100 ms of the host's time, and a host that takes a millisecond to
// answer costs the firmware one simulated millisecond. The simulation runs
// in slices of kSlice, each at most that far ahead of the wall clock, and
// looks at the line between them; it catches up when it falls behind.
class LineBridge
{
public:
    static constexpr std::chrono::microseconds kSlice{100};
    // 23.2 refreshes per second: eight pages of 61 octets, each asked for
    // with a one-octet request, ten bits an octet at 115200 baud.
    static constexpr double kLineLimit = 115'200.0 / 10.0 / (8.0 * (61.0 + 1.0));

    LineBridge(AvrMachine &machine, BoardLine &line);

    // Adds every whole refresh from now on to the recording, at its
    // simulated time, from the thread that runs the bridge.
    void recordTo(GifRecording &recording);
    // Returns once a host has opened the line, or stop is requested.
    void waitForHost(std::stop_token stop);
    // Until stop is requested or the module has been refreshed `refreshes`
    // times (0: no limit). Throws std::runtime_error when the line fails or
    // the firmware stops.
    void run(std::stop_token stop, long refreshes);
    [[nodiscard]] BridgeReport report() const;

private:
    using Clock = std::chrono::steady_clock;

    [[nodiscard]] bool runSlice(std::uint64_t target);

    AvrMachine &m_machine;
    BoardLine &m_line;
    HostWatch m_host;
    mutable std::mutex m_mutex;
    Clock::time_point m_start{};
    std::uint64_t m_startCycle = 0;
    Clock::duration m_busy{};
    Clock::duration m_wall{};
    GifRecording *m_recording = nullptr;
};

} // namespace board

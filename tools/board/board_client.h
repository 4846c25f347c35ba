// SPDX-License-Identifier: MIT
#pragma once

#include "board_line.h"
#include "lcd_frame.h"
#include "line_pacer.h"

#include <chrono>
#include <string>
#include <string_view>

namespace board {

// What the display's board does on the line: greet, then ask for pages by
// number and wait for all 61 octets of each. Throws std::runtime_error with
// a clear message when the host does not answer in time.
class BoardClient
{
public:
    static constexpr std::string_view kGreeting = "0";
    static constexpr std::chrono::milliseconds kPageTimeout{2000};
    static constexpr std::chrono::milliseconds kQuiet{300};

    BoardClient(BoardLine &line, bool paced) : m_line(line), m_pacer(paced) {}

    // Sends the greeting and waits until the host has read it, so that the
    // first request is a reception of its own.
    void greet();
    [[nodiscard]] Page requestPage(int request);
    // The eight pages in display order, top row first, left half first.
    [[nodiscard]] LcdFrame requestFrame();
    // Sends any text and returns what comes back: a page's worth of octets,
    // or less when the host falls quiet.
    [[nodiscard]] std::string exchange(std::string_view text);

private:
    void send(std::string_view text);

    BoardLine &m_line;
    LinePacer m_pacer;
};

} // namespace board

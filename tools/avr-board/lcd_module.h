// SPDX-License-Identifier: MIT
#pragma once

#include "lcd_frame.h"

#include <array>
#include <bitset>
#include <cstdint>

namespace board {

// The 122 x 32 module as its bus sees it: two page-addressed controllers,
// the left one showing display columns 0..60 and the right one 61..121.
// Each has 4 pages of 8 rows by 80 columns of display memory, of which
// columns 0..60 are on the glass; bit 0 of a data byte is the top row of
// its page. Commands it knows: reset (0xE2), display off and on (0xAE,
// 0xAF), start line (0xC0 | line), page address (0xB8 | page) and column
// address (0x00 | column, up to 79). Every other command is ignored and
// counted. Display data writes to the current column, which then advances.
class LcdModule
{
public:
    static constexpr int kControllers = 2;

    // One bus cycle, latched on the falling edge of the controller's enable
    // line: a command when a0 is low, display data when it is high.
    void latch(int controller, bool a0, std::uint8_t octet);

    // What the glass shows: nothing while a controller's display is off.
    [[nodiscard]] LcdFrame picture() const;
    // How often every byte on the glass has been written since the last
    // count: the number of whole refreshes of the display.
    [[nodiscard]] long refreshes() const { return m_refreshes; }
    [[nodiscard]] long unknownCommands() const { return m_unknownCommands; }

private:
    static constexpr int kPages = 4;
    static constexpr int kRamColumns = 80;
    static constexpr int kShownColumns = 61;

    struct Controller
    {
        std::array<std::array<std::uint8_t, kRamColumns>, kPages> ram{};
        int page = 0;
        int column = 0;
        int startLine = 0;
        bool displayOn = false;
    };

    void command(Controller &chip, std::uint8_t code);
    void write(int controller, Controller &chip, std::uint8_t octet);

    std::array<Controller, kControllers> m_controllers{};
    std::bitset<kControllers * kPages * kShownColumns> m_written;
    long m_refreshes = 0;
    long m_unknownCommands = 0;
};

} // namespace board

// SPDX-License-Identifier: MIT
#include "lcd_module.h"

namespace board {

namespace {

constexpr std::uint8_t kReset = 0xE2;
constexpr std::uint8_t kDisplayOff = 0xAE;
constexpr std::uint8_t kDisplayOn = 0xAF;
constexpr std::uint8_t kStartLine = 0xC0;
constexpr std::uint8_t kStartLineMask = 0x1F;
constexpr std::uint8_t kPageAddress = 0xB8;
constexpr std::uint8_t kPageMask = 0x03;
constexpr std::uint8_t kLastColumn = 79;

} // namespace

void LcdModule::latch(int controller, bool a0, std::uint8_t octet)
{
    Controller &chip = m_controllers[static_cast<std::size_t>(controller)];
    if (a0)
        write(controller, chip, octet);
    else
        command(chip, octet);
}

void LcdModule::command(Controller &chip, std::uint8_t code)
{
    if (code == kReset) {
        chip.page = 0;
        chip.column = 0;
        chip.startLine = 0;
    } else if (code == kDisplayOff || code == kDisplayOn) {
        chip.displayOn = code == kDisplayOn;
    } else if ((code & ~kStartLineMask) == kStartLine) {
        chip.startLine = code & kStartLineMask;
    } else if ((code & ~kPageMask) == kPageAddress) {
        chip.page = code & kPageMask;
    } else if (code <= kLastColumn) {
        chip.column = code;
    } else {
        ++m_unknownCommands;
    }
}

void LcdModule::write(int controller, Controller &chip, std::uint8_t octet)
{
    chip.ram[static_cast<std::size_t>(chip.page)][static_cast<std::size_t>(chip.column)] = octet;
    if (chip.column < kShownColumns) {
        m_written.set(static_cast<std::size_t>((controller * kPages + chip.page) * kShownColumns + chip.column));
        if (m_written.all()) {
            ++m_refreshes;
            m_written.reset();
        }
    }
    if (chip.column < kLastColumn)
        ++chip.column;
}

// The start line is the memory row shown at the top of the glass.
LcdFrame LcdModule::picture() const
{
    LcdFrame frame;
    for (int x = 0; x < kLcdWidth; ++x) {
        const Controller &chip = m_controllers[static_cast<std::size_t>(x / kShownColumns)];
        for (int y = 0; chip.displayOn && y < kLcdHeight; ++y) {
            const int row = (y + chip.startLine) % kLcdHeight;
            const std::uint8_t octet = chip.ram[static_cast<std::size_t>(row / kPageRows)]
                                               [static_cast<std::size_t>(x % kShownColumns)];
            frame.set(x, y, (octet >> (row % kPageRows)) & 1U);
        }
    }
    return frame;
}

} // namespace board

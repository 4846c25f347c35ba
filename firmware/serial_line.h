// SPDX-License-Identifier: MIT
#pragma once

#include <stdint.h>

// USART0 at 115200 baud, 8 data bits, no parity, 1 stop bit, polled. Time is
// counted in ticks of Timer1 running free at 16 MHz / 1024: 64 us a tick.
namespace serial_line {

constexpr uint16_t ticksOfMs(uint16_t ms)
{
    return static_cast<uint16_t>(ms * 125UL / 8UL);
}

void init();
void send(uint8_t octet);
// False when no octet arrived within timeout ticks.
bool receive(uint8_t &octet, uint16_t timeout);
// Returns once nothing has arrived for quiet ticks; drops what arrives meanwhile.
void waitForQuiet(uint16_t quiet);

} // namespace serial_line

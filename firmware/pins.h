// SPDX-License-Identifier: MIT
#pragma once

// How the 122 x 32 module is wired to the ATmega328P (Arduino Uno and Nano
// pin names in brackets). Only plain port pins are used: PD0/PD1 stay free
// for the serial line to the host, PD2/PD3 for the external interrupts,
// PB3..PB5 for SPI (and in-system programming) and PC4/PC5 for I2C. The
// module's R/W is tied to ground, so the firmware only ever writes and waits
// out the controllers' timing instead of reading their busy flag.

#include <avr/io.h>

namespace pins {

// Data bus D0..D3 on PD4..PD7 [D4..D7], D4..D7 on PC0..PC3 [A0..A3].
constexpr uint8_t kBusLowMask = 0xF0;  // in PORTD: the bus's low nibble, shifted up
constexpr uint8_t kBusHighMask = 0x0F; // in PORTC: the bus's high nibble, shifted down

// Control lines in PORTB: A0 (low: command, high: display data) on PB0 [D8],
// E1 (left controller, columns 0..60) on PB1 [D9], E2 (right controller,
// columns 61..121) on PB2 [D10].
constexpr uint8_t kA0 = _BV(PB0);
constexpr uint8_t kE1 = _BV(PB1);
constexpr uint8_t kE2 = _BV(PB2);

} // namespace pins

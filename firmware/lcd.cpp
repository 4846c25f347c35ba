// SPDX-License-Identifier: MIT
#include "lcd.h"

#include "pins.h"

#include <util/delay.h>

namespace lcd {

namespace {

constexpr uint8_t kReset = 0xE2;
constexpr uint8_t kDisplayOn = 0xAF;
constexpr uint8_t kStartLine = 0xC0; // | line 0..31
constexpr uint8_t kPageAddress = 0xB8; // | page 0..3
constexpr uint8_t kColumnAddress = 0x00; // | column 0..79

constexpr double kPowerUpMs = 20.0;
constexpr double kResetMs = 1.0;
// E high for at least the enable pulse width, then low for the rest of the
// write cycle: with R/W tied low the busy flag cannot be read, so every write
// simply takes longer than the controller's cycle time.
constexpr double kEnableHighUs = 0.5;
constexpr double kEnableLowUs = 1.0;

uint8_t enableOf(uint8_t controller)
{
    return controller == kLeft ? pins::kE1 : pins::kE2;
}

// The controller latches A0 and the bus on the falling edge of its E.
void put(uint8_t controller, bool data, uint8_t octet)
{
    if (data)
        PORTB |= pins::kA0;
    else
        PORTB &= ~pins::kA0;
    PORTD = (PORTD & ~pins::kBusLowMask) | static_cast<uint8_t>(octet << 4);
    PORTC = (PORTC & ~pins::kBusHighMask) | static_cast<uint8_t>(octet >> 4);
    const uint8_t enable = enableOf(controller);
    PORTB |= enable;
    _delay_us(kEnableHighUs);
    PORTB &= ~enable;
    _delay_us(kEnableLowUs);
}

void command(uint8_t controller, uint8_t code)
{
    put(controller, false, code);
}

} // namespace

void init()
{
    DDRD |= pins::kBusLowMask;
    DDRC |= pins::kBusHighMask;
    DDRB |= pins::kA0 | pins::kE1 | pins::kE2;
    _delay_ms(kPowerUpMs);
    for (uint8_t controller = kLeft; controller <= kRight; ++controller) {
        command(controller, kReset);
        _delay_ms(kResetMs);
        command(controller, kStartLine | 0);
        command(controller, kDisplayOn);
    }
}

void setAddress(uint8_t controller, uint8_t page, uint8_t column)
{
    command(controller, kPageAddress | page);
    command(controller, kColumnAddress | column);
}

void writeData(uint8_t controller, uint8_t octet)
{
    put(controller, true, octet);
}

} // namespace lcd

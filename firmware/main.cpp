// SPDX-License-Identifier: MIT
// The display board: greets the host once, then asks it for the eight pages
// of the 122 x 32 picture, one after the other, for ever, and writes every
// octet to its controller as it arrives.
#include "lcd.h"
#include "serial_line.h"

#include <avr/pgmspace.h>

namespace {

// The requests in the order asked, which is display order: rows 0..7 left
// then right, rows 8..15, 16..23, 24..31. Entry i goes to controller i % 2,
// page i / 2.
const char kRequests[] PROGMEM = "15267304";
constexpr uint8_t kFramePages = 8;
constexpr uint8_t kGreeting = '0';

// Nothing is sent this long after the greeting, so the host reads it alone.
constexpr uint16_t kGreetingQuiet = serial_line::ticksOfMs(50);
// A page whose next octet does not come within this is dropped: the host
// has not started, has restarted, or took the request for its greeting.
constexpr uint16_t kOctetTimeout = serial_line::ticksOfMs(100);
// Before asking again, the rest of a late answer must have passed.
constexpr uint16_t kRetryQuiet = serial_line::ticksOfMs(20);
// After each frame, a short quiet line: octets the board never asked for
// (the host's "Start" page) are dropped here instead of shifting every page
// that follows by their count. A page answer is sent back to back, so half
// a millisecond without an octet means the host is done.
constexpr uint16_t kFrameQuiet = 8; // 512 us

bool fetchPage(uint8_t index)
{
    const uint8_t controller = index % 2;
    lcd::setAddress(controller, index / 2, 0);
    serial_line::send(pgm_read_byte(&kRequests[index]));
    for (uint8_t column = 0; column < lcd::kColumns; ++column) {
        uint8_t octet = 0;
        if (!serial_line::receive(octet, kOctetTimeout))
            return false;
        lcd::writeData(controller, octet);
    }
    return true;
}

} // namespace

int main()
{
    serial_line::init();
    lcd::init();
    serial_line::send(kGreeting);
    serial_line::waitForQuiet(kGreetingQuiet);
    for (;;) {
        for (uint8_t index = 0; index < kFramePages;) {
            if (fetchPage(index))
                ++index;
            else
                serial_line::waitForQuiet(kRetryQuiet);
        }
        serial_line::waitForQuiet(kFrameQuiet);
    }
}

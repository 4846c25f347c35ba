// SPDX-License-Identifier: MIT
#pragma once

#include <stdint.h>

// The module's two page-addressed controllers: the left one shows display
// columns 0..60, the right one columns 61..121. Each has four pages of eight
// rows; bit 0 of a data byte is the top row of its page.
namespace lcd {

constexpr uint8_t kLeft = 0;
constexpr uint8_t kRight = 1;
constexpr uint8_t kColumns = 61;
constexpr uint8_t kPages = 4;

// Makes the pins outputs, waits for the module to power up, then resets both
// controllers, sets display start line 0 and switches the display on.
void init();
void setAddress(uint8_t controller, uint8_t page, uint8_t column);
// Writes one column of the current page; the column then advances by one.
void writeData(uint8_t controller, uint8_t octet);

} // namespace lcd

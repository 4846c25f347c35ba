// SPDX-License-Identifier: MIT
#pragma once

#include "lcd_module.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct avr_t;
struct avr_irq_t;
struct elf_firmware_t;

namespace board {

// The module as a whole refresh left it, and the cycle it was done at.
struct Refresh
{
    LcdFrame picture;
    std::uint64_t cycle = 0;
};

// A firmware image running on a simulated ATmega328P at 16 MHz, with the
// LCD module on the pins of the firmware's pin map and USART0 as the serial
// line. The line carries one octet per 115200-baud octet time in each
// direction, counted in simulated cycles. Failures throw std::runtime_error.
class AvrMachine
{
public:
    static constexpr std::uint32_t kFrequency = 16'000'000;
    // Ten bit times at 115200 baud: 86.8 us.
    static constexpr std::uint64_t kOctetCycles = (10ULL * kFrequency + 57'600) / 115'200;

    explicit AvrMachine(const std::string &firmwarePath);
    AvrMachine(const AvrMachine &) = delete;
    AvrMachine &operator=(const AvrMachine &) = delete;
    ~AvrMachine();

    // Runs the firmware until the clock reaches cycle. False once it has
    // stopped or crashed.
    bool runUntil(std::uint64_t cycle);
    [[nodiscard]] std::uint64_t cycle() const;

    // Octets from the host, queued for the line into USART0.
    void receive(std::string_view octets);
    // The octets the firmware sent that have left the line by now.
    [[nodiscard]] std::string takeSent();

    [[nodiscard]] const LcdModule &module() const { return m_module; }
    // When the module was refreshed whole the first and the last time.
    [[nodiscard]] std::uint64_t firstRefreshCycle() const { return m_firstRefresh; }
    [[nodiscard]] std::uint64_t lastRefreshCycle() const { return m_lastRefresh; }
    // Keeps what the module shows at each whole refresh from now on.
    void keepRefreshes() { m_keepRefreshes = true; }
    // The refreshes kept since the last call.
    [[nodiscard]] std::vector<Refresh> takeRefreshes() { return std::exchange(m_refreshes, {}); }

private:
    static std::uint64_t deliverNext(avr_t *avr, std::uint64_t when, void *machine);
    static void onSent(avr_irq_t *irq, std::uint32_t octet, void *machine);
    static void onXon(avr_irq_t *irq, std::uint32_t value, void *machine);
    static void onXoff(avr_irq_t *irq, std::uint32_t value, void *machine);
    static void onEnable1(avr_irq_t *irq, std::uint32_t level, void *machine);
    static void onEnable2(avr_irq_t *irq, std::uint32_t level, void *machine);

    void enableChanged(int controller, bool high);
    [[nodiscard]] std::uint8_t portPins(char port) const;

    // The loaded image stays with the machine, which may point into it.
    std::unique_ptr<elf_firmware_t> m_firmware;
    avr_t *m_avr = nullptr;
    avr_irq_t *m_uartInput = nullptr;
    LcdModule m_module;
    std::deque<std::uint8_t> m_toFirmware;
    bool m_delivering = false;
    bool m_fifoFull = false;
    // Octets from the firmware with the cycle at which each has left the line.
    std::deque<std::pair<std::uint64_t, char>> m_fromFirmware;
    std::uint64_t m_sendLineFree = 0;
    std::array<bool, LcdModule::kControllers> m_enableHigh{};
    std::uint64_t m_firstRefresh = 0;
    std::uint64_t m_lastRefresh = 0;
    bool m_keepRefreshes = false;
    std::vector<Refresh> m_refreshes;
};

} // namespace board

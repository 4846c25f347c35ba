// SPDX-License-Identifier: MIT
#include "avr_machine.h"

#include <avr_ioport.h>
#include <avr_uart.h>
#include <sim_avr.h>
#include <sim_elf.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace board {

namespace {

constexpr const char *kMcu = "atmega328p";
constexpr char kUart = '0';
// The firmware's pin map: E1 on PB1, E2 on PB2, A0 on PB0, the data bus's
// low nibble on PD4..PD7 and its high nibble on PC0..PC3.
constexpr char kControlPort = 'B';
constexpr std::array<int, LcdModule::kControllers> kEnablePins{1, 2};
constexpr std::uint8_t kA0 = 0x01;

// simavr's messages go to stderr, and only its warnings and errors: its
// chatter must not reach stdout, whose first line is the device.
void logToStderr(avr_t *, int level, const char *format, va_list arguments)
{
    if (level > LOG_WARNING)
        return;
    std::fputs("kestrin-avr-board: simavr: ", stderr);
    std::vfprintf(stderr, format, arguments);
}

// The firmware does its own waiting: time passes in simulated cycles only,
// and the bridge decides how they map to wall time.
void sleepWithoutWaiting(avr_t *, avr_cycle_count_t) {}

// What elf_read_firmware allocated, which simavr leaves to its caller.
void freeFirmware(elf_firmware_t &firmware)
{
    std::free(firmware.flash);
    std::free(firmware.eeprom);
    std::free(firmware.fuse);
    std::free(firmware.lockbits);
    for (std::uint32_t index = 0; index < firmware.symbolcount; ++index)
        std::free(firmware.symbol[index]);
    std::free(firmware.symbol);
}

avr_irq_t *uartIrq(avr_t *avr, int which)
{
    return avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ(kUart), which);
}

} // namespace

AvrMachine::AvrMachine(const std::string &firmwarePath) : m_firmware(std::make_unique<elf_firmware_t>())
{
    avr_global_logger_set(logToStderr);
    if (elf_read_firmware(firmwarePath.c_str(), m_firmware.get()) != 0) {
        freeFirmware(*m_firmware);
        throw std::runtime_error("cannot read the firmware " + firmwarePath);
    }
    m_avr = avr_make_mcu_by_name(kMcu);
    if (m_avr == nullptr || avr_init(m_avr) != 0) {
        std::free(m_avr);
        freeFirmware(*m_firmware);
        throw std::runtime_error("cannot make a simulated ATmega328P");
    }
    avr_load_firmware(m_avr, m_firmware.get());
    // After loading: an image may name a clock of its own.
    m_avr->frequency = kFrequency;
    m_avr->sleep = sleepWithoutWaiting;

    // No console echo, and no sleeping when the firmware polls an empty receiver.
    std::uint32_t flags = 0;
    avr_ioctl(m_avr, AVR_IOCTL_UART_GET_FLAGS(kUart), &flags);
    flags &= ~static_cast<std::uint32_t>(AVR_UART_FLAG_POLL_SLEEP | AVR_UART_FLAG_STDIO);
    avr_ioctl(m_avr, AVR_IOCTL_UART_SET_FLAGS(kUart), &flags);
    m_uartInput = uartIrq(m_avr, UART_IRQ_INPUT);
    avr_irq_register_notify(uartIrq(m_avr, UART_IRQ_OUTPUT), onSent, this);
    avr_irq_register_notify(uartIrq(m_avr, UART_IRQ_OUT_XON), onXon, this);
    avr_irq_register_notify(uartIrq(m_avr, UART_IRQ_OUT_XOFF), onXoff, this);

    const auto enableIrq = [this](int controller) {
        return avr_io_getirq(m_avr, AVR_IOCTL_IOPORT_GETIRQ(kControlPort),
                             kEnablePins[static_cast<std::size_t>(controller)]);
    };
    avr_irq_register_notify(enableIrq(0), onEnable1, this);
    avr_irq_register_notify(enableIrq(1), onEnable2, this);
}

AvrMachine::~AvrMachine()
{
    if (m_avr != nullptr) {
        avr_terminate(m_avr);
        std::free(m_avr);
    }
    freeFirmware(*m_firmware);
}

bool AvrMachine::runUntil(std::uint64_t cycle)
{
    while (m_avr->cycle < cycle) {
        const int state = avr_run(m_avr);
        if (state == cpu_Done || state == cpu_Crashed)
            return false;
    }
    return true;
}

std::uint64_t AvrMachine::cycle() const
{
    return m_avr->cycle;
}

void AvrMachine::receive(std::string_view octets)
{
    m_toFirmware.insert(m_toFirmware.end(), octets.begin(), octets.end());
    if (!m_delivering && !m_toFirmware.empty()) {
        m_delivering = true;
        avr_cycle_timer_register(m_avr, kOctetCycles, deliverNext, this);
    }
}

// An octet reaches USART0 one octet time after the previous one. While the
// receiver's queue is full the line holds the octet back, as a sender
// honouring XOFF would.
std::uint64_t AvrMachine::deliverNext(avr_t *, std::uint64_t when, void *machine)
{
    auto &self = *static_cast<AvrMachine *>(machine);
    if (!self.m_fifoFull) {
        avr_raise_irq(self.m_uartInput, self.m_toFirmware.front());
        self.m_toFirmware.pop_front();
    }
    self.m_delivering = !self.m_toFirmware.empty();
    return self.m_delivering ? when + kOctetCycles : 0;
}

std::string AvrMachine::takeSent()
{
    std::string sent;
    while (!m_fromFirmware.empty() && m_fromFirmware.front().first <= m_avr->cycle) {
        sent += m_fromFirmware.front().second;
        m_fromFirmware.pop_front();
    }
    return sent;
}

void AvrMachine::onSent(avr_irq_t *, std::uint32_t octet, void *machine)
{
    auto &self = *static_cast<AvrMachine *>(machine);
    self.m_sendLineFree = std::max(self.m_sendLineFree, self.m_avr->cycle) + kOctetCycles;
    self.m_fromFirmware.emplace_back(self.m_sendLineFree, static_cast<char>(octet));
}

// The receiver signals XON, repeatedly, while its queue has room, and XOFF
// once it is full; a signal raised with 0 withdraws itself.
void AvrMachine::onXon(avr_irq_t *, std::uint32_t value, void *machine)
{
    if (value != 0)
        static_cast<AvrMachine *>(machine)->m_fifoFull = false;
}

void AvrMachine::onXoff(avr_irq_t *, std::uint32_t value, void *machine)
{
    static_cast<AvrMachine *>(machine)->m_fifoFull = value != 0;
}

void AvrMachine::onEnable1(avr_irq_t *, std::uint32_t level, void *machine)
{
    static_cast<AvrMachine *>(machine)->enableChanged(0, level != 0);
}

void AvrMachine::onEnable2(avr_irq_t *, std::uint32_t level, void *machine)
{
    static_cast<AvrMachine *>(machine)->enableChanged(1, level != 0);
}

// The pin change is announced before the port's pin register follows, but
// A0 and the bus were set up earlier and hold their levels.
void AvrMachine::enableChanged(int controller, bool high)
{
    const bool falling = m_enableHigh[static_cast<std::size_t>(controller)] && !high;
    m_enableHigh[static_cast<std::size_t>(controller)] = high;
    if (!falling)
        return;
    const auto bus = static_cast<std::uint8_t>((portPins('D') >> 4) | (portPins('C') << 4));
    const long before = m_module.refreshes();
    m_module.latch(controller, (portPins(kControlPort) & kA0) != 0, bus);
    if (m_module.refreshes() != before) {
        if (m_firstRefresh == 0)
            m_firstRefresh = m_avr->cycle;
        m_lastRefresh = m_avr->cycle;
        if (m_keepRefreshes)
            m_refreshes.push_back({m_module.picture(), m_lastRefresh});
    }
}

std::uint8_t AvrMachine::portPins(char port) const
{
    avr_ioport_state_t state{};
    avr_ioctl(m_avr, AVR_IOCTL_IOPORT_GETSTATE(port), &state);
    return static_cast<std::uint8_t>(state.pin);
}

} // namespace board

// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"
#include "reception_model.h"
#include "recording_port.h"
#include "serial_link.h"

#include <cstdint>
#include <span>
#include <string>

namespace kestrin::fuzz {

// One fuzz input played against a freshly set-up serial link. Each page of
// its buffer starts with a byte of its own and no byte repeats within a page.
// The input is a script of operations: the first byte of each picks it,
// modulo Op::Count, and the bytes after it are its arguments; past the end
// every byte reads 0 and every text is empty, so any input is a complete
// script. Each port event runs through the handler boundary, as in the program.
class ReceptionSession
{
public:
    enum class Op : std::uint8_t {
        Receive,   // n, n octets: one reception of that text
        Request,   // b: the reception "<b mod 12 - 1>", -1..10
        Event,     // b: a port event with a code of the control's table or an unknown one
        Edit,      // p, c, v: buffer byte (p mod 8, c mod 61) := v
        FailWrite, // k: the write after k more succeed fails
        Gap,       // k: run what follows inside the yield after the next k + 1 octets
        Resume,    // inside a yield: the page goes on
        Stop,      // inside a yield: the window closes and every serve stops
        Reset,     // the line is opened anew and a new greeting is due
        Count
    };

    explicit ReceptionSession(std::span<const std::uint8_t> bytes);
    ReceptionSession(const ReceptionSession &) = delete;
    ReceptionSession &operator=(const ReceptionSession &) = delete;

    void run();

private:
    [[nodiscard]] std::uint8_t byte();
    [[nodiscard]] std::string text(std::size_t length);
    void perform(Op op, bool inYield);
    [[nodiscard]] bool yieldToEvents();
    [[nodiscard]] bool runEventsInYield();
    void portEvent(int code, std::string input, std::string_view label = {});
    void checkAgreement() const;

    std::span<const std::uint8_t> m_input; // what is left of the script
    FrameBuffer m_buffer;
    ReceptionModel m_model{m_buffer};
    RecordingPort m_port{m_model};
    SerialLink m_link;
    std::string m_lastTrace;
    long m_expectedReads = 0;
    int m_gap = -1;
};

} // namespace kestrin::fuzz

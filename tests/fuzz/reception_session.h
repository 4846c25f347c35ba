// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"
#include "fuzz_input.h"
#include "handler_boundary.h"
#include "reception_model.h"
#include "recording_port.h"
#include "serial_link.h"

#include <cstdint>
#include <span>
#include <string>

namespace kestrin::fuzz {

// One fuzz input played against a freshly set-up serial link. The bytes are a
// script of operations; the first byte of each picks the operation modulo
// Op::Count and the bytes after it are its arguments:
//
//   Receive  n, n octets   one reception of that text
//   Request  b             the reception "<b mod 12 - 1>" (-1..10)
//   Event    b             a port event of a table code or an unknown one
//   Start    -             the "Start" button
//   Edit     p, c, v       buffer byte (p mod 8, c mod 61) := v
//   Convert  s             every buffer byte rewritten from the seed s
//   FailWrite k            the write after k more succeeds fails
//   Gap      k             run the following operations inside the yield
//                          after the next k + 1 written octets of a served page
//   Resume   -             inside a yield: continue the page
//   Stop     -             inside a yield: the window closes, the serve stops
//   Reset    -             the line is opened anew: expect a new greeting
//
// Each handler runs through the handler boundary as in the program.
class ReceptionSession
{
public:
    explicit ReceptionSession(std::span<const std::uint8_t> bytes);
    ~ReceptionSession();
    ReceptionSession(const ReceptionSession &) = delete;
    ReceptionSession &operator=(const ReceptionSession &) = delete;

    void run();

    enum class Op : std::uint8_t {
        Receive,
        Request,
        Event,
        Start,
        Edit,
        Convert,
        FailWrite,
        Gap,
        Resume,
        Stop,
        Reset,
        Count
    };

private:
    enum class Place { TopLevel, InYield };

    void perform(Op op, Place place);
    [[nodiscard]] bool yieldToEvents();
    [[nodiscard]] bool runEventsInYield();
    void portEvent(int code, std::string input);
    void pressStart();
    void edit(int page, int column, std::uint8_t value);
    void convert(std::uint8_t seed);
    void checkSetUp() const;
    void checkAgreement() const;
    void checkEnd() const;

    FuzzInput m_input;
    FrameBuffer m_buffer;
    RecordingPort m_port;
    ReceptionModel m_model;
    SerialLink m_link;
    ErrorReporter m_previousReporter;
    long m_reports = 0;
    long m_greetingsTraced = 0;
    long m_expectedReads = 0;
    int m_gap = -1;
};

} // namespace kestrin::fuzz

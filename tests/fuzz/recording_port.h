// SPDX-License-Identifier: MIT
#pragma once

#include "comm_port.h"
#include "reception_model.h"
#include "run_time_error.h"

#include <string>
#include <utility>

namespace kestrin::fuzz {

// A communications control without a line: it records its set-up, hands out
// the event code and input it was given, shows the model every octet, and
// fails one write when told to.
class RecordingPort final : public CommPort
{
public:
    explicit RecordingPort(ReceptionModel &model) : m_model(model) {}

    void deliver(int code, std::string input) { m_event = code; m_input = std::move(input); }
    // The write after `writes` further successful ones throws.
    void failWriteAfter(int writes) { m_failCountdown = writes; }
    [[nodiscard]] const std::string &setUpRecord() const { return m_setUp; }
    [[nodiscard]] long reads() const { return m_reads; }
    [[nodiscard]] long writes() const { return m_writes; }

    void setCommPort(int number) override { m_setUp += "port " + std::to_string(number) + ";"; }
    void setSettings(std::string_view settings) override { m_setUp += std::string(settings) + ";"; }
    void setRThreshold(int n) override { m_setUp += "threshold " + std::to_string(n) + ";"; }
    void setInputLen(int n) override { m_setUp += "input length " + std::to_string(n) + ";"; }
    void setPortOpen(bool open) override { m_setUp += open ? "open" : "close"; }
    [[nodiscard]] std::string input() override
    {
        ++m_reads;
        return std::exchange(m_input, {});
    }
    [[nodiscard]] int commEvent() const override { return m_event; }
    void writeOctet(std::uint8_t octet) override
    {
        if (m_failCountdown >= 0 && m_failCountdown-- == 0) {
            m_model.writeFailed();
            throw RunTimeError("write to the port failed");
        }
        ++m_writes;
        m_model.octetWritten(octet);
    }

private:
    ReceptionModel &m_model;
    std::string m_setUp;
    int m_event = 0;
    std::string m_input;
    long m_reads = 0;
    long m_writes = 0;
    int m_failCountdown = -1;
};

} // namespace kestrin::fuzz

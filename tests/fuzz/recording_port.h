// SPDX-License-Identifier: MIT
#pragma once

#include "comm_port.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kestrin::fuzz {

// What set-up asked of the control.
struct PortSetUp
{
    int port = 0;
    std::string settings;
    int receiveThreshold = -1;
    int inputLength = -1;
    bool open = false;
    bool configuredBeforeOpen = false;
};

// A communications control without a line: it hands out the event code and
// input it was given, passes every written octet to an observer, and can be
// told to fail one write (the observer hears of that too).
class RecordingPort final : public CommPort
{
public:
    using WriteObserver = std::function<void(std::uint8_t)>;
    using FailureObserver = std::function<void()>;

    void setObservers(WriteObserver written, FailureObserver failed)
    {
        m_written = std::move(written);
        m_failed = std::move(failed);
    }
    void deliver(int code, std::string input);
    // The write after `writes` further successful ones throws RunTimeError.
    void failWriteAfter(int writes) { m_failCountdown = writes; }

    [[nodiscard]] const PortSetUp &setUpRecord() const { return m_setUp; }
    [[nodiscard]] long reads() const { return m_reads; }
    [[nodiscard]] long writes() const { return m_writes; }

    void setCommPort(int number) override;
    void setSettings(std::string_view settings) override;
    void setRThreshold(int characters) override;
    void setInputLen(int characters) override;
    void setPortOpen(bool open) override;
    [[nodiscard]] std::string input() override;
    [[nodiscard]] int commEvent() const override { return m_event; }
    void writeOctet(std::uint8_t octet) override;

private:
    WriteObserver m_written;
    FailureObserver m_failed;
    PortSetUp m_setUp;
    int m_event = 0;
    std::string m_input;
    long m_reads = 0;
    long m_writes = 0;
    int m_failCountdown = -1;
};

} // namespace kestrin::fuzz

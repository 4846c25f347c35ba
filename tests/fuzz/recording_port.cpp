// SPDX-License-Identifier: MIT
#include "recording_port.h"

#include "run_time_error.h"

#include <utility>

namespace kestrin::fuzz {

void RecordingPort::deliver(int code, std::string input)
{
    m_event = code;
    m_input = std::move(input);
}

void RecordingPort::setCommPort(int number)
{
    m_setUp.port = number;
}

void RecordingPort::setSettings(std::string_view settings)
{
    m_setUp.settings = settings;
}

void RecordingPort::setRThreshold(int characters)
{
    m_setUp.receiveThreshold = characters;
}

void RecordingPort::setInputLen(int characters)
{
    m_setUp.inputLength = characters;
}

void RecordingPort::setPortOpen(bool open)
{
    m_setUp.configuredBeforeOpen = !m_setUp.settings.empty() && m_setUp.receiveThreshold >= 0
                                   && m_setUp.inputLength >= 0;
    m_setUp.open = open;
}

std::string RecordingPort::input()
{
    ++m_reads;
    return std::exchange(m_input, {});
}

void RecordingPort::writeOctet(std::uint8_t octet)
{
    if (m_failCountdown == 0) {
        m_failCountdown = -1;
        if (m_failed)
            m_failed();
        throw RunTimeError("write to the port failed");
    }
    if (m_failCountdown > 0)
        --m_failCountdown;
    ++m_writes;
    if (m_written)
        m_written(octet);
}

} // namespace kestrin::fuzz

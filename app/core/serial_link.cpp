// SPDX-License-Identifier: MIT
#include "serial_link.h"

#include "page_protocol.h"
#include "port_events.h"
#include "request_number.h"
#include "run_time_error.h"

#include <string>
#include <utility>

namespace kestrin {

namespace {

std::string printable(std::string_view text)
{
    constexpr std::size_t kShown = 40;
    std::string out;
    for (const char c : text.substr(0, kShown)) {
        const auto octet = static_cast<unsigned char>(c);
        if (octet >= 0x20 && octet < 0x7F) {
            out += c;
        } else {
            constexpr std::string_view kHex = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[octet >> 4];
            out += kHex[octet & 0xF];
        }
    }
    if (text.size() > kShown)
        out += "...";
    return out;
}

} // namespace

SerialLink::SerialLink(CommPort &port, PageSender &sender) : m_port(port), m_sender(sender) {}

void SerialLink::setUp()
{
    m_port.setCommPort(kPortNumber);
    m_port.setSettings(kSettings);
    m_port.setRThreshold(kReceiveThreshold);
    m_port.setInputLen(kInputLength);
    resetProtocol();
    m_port.setPortOpen(true);
}

void SerialLink::resetProtocol()
{
    m_state = ProtocolState{};
    m_sender.clear();
}

void SerialLink::portEvent()
{
    const PortEventKind *kind = classifyPortEvent(m_port.commEvent());
    if (kind == nullptr)
        return;
    if (!kind->traceLabel.empty())
        trace(kind->traceLabel);
    if (kind->action == PortEventAction::Receive)
        receive(m_port.input());
}

void SerialLink::receive(std::string_view text)
{
    const auto number = parseRequestNumber(text);
    if (!number)
        throw RunTimeError("received text is not a number: \"" + printable(text) + "\"");
    m_state.lastRequest = *number;
    const bool greeting = std::exchange(m_state.firstReceptionPending, false);
    if (m_observer)
        m_observer(*number, greeting);
    if (greeting) {
        trace("Board has said hallo and is ready for data");
        return;
    }
    m_sender.request(pageForRequest(m_state.lastRequest));
}

void SerialLink::trace(std::string_view label) const
{
    if (m_trace)
        m_trace(label);
}

} // namespace kestrin

// SPDX-License-Identifier: MIT
#include "reception_session.h"

#include "handler_boundary.h"
#include "request_number.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace kestrin::fuzz {

namespace {

constexpr std::string_view kGreetingTrace = "Board has said hallo and is ready for data";
constexpr int kReceiveCode = 2;

// The control's codes with their trace labels, then codes it does not know
// (65538 is the receive code if cut to 16 bits).
constexpr std::array<std::pair<int, std::string_view>, 20> kEventCodes{{
    {1001, "Break"}, {1004, "Frame Error"}, {1006, "Overrun"}, {1008, "RxOver"},
    {1009, "RxParity"}, {1010, "TxFull"}, {1011, ""}, {5, "EvCD"}, {3, "CTS"}, {4, "DSR"},
    {6, "Ring"}, {2, ""}, {1, ""}, {7, "EOF encounterd"}, {0, ""}, {8, ""}, {1002, ""},
    {65538, ""}, {-1, ""}, {std::numeric_limits<int>::min(), ""},
}};

} // namespace

ReceptionSession::ReceptionSession(std::span<const std::uint8_t> bytes)
    : m_input(bytes), m_link(m_port, m_buffer, [this] { return yieldToEvents(); })
{
    m_link.setTrace([this](std::string_view label) { m_lastTrace = label; });
    for (int page = 0; page < kPageCount; ++page) {
        for (int column = 0; column < kPageColumns; ++column)
            m_buffer.write(page, column, static_cast<std::uint8_t>(page * kPageColumns + column));
    }
}

void ReceptionSession::run()
{
    runHandler("Form_Load", [this] { m_link.setUp(); });
    require(m_port.setUpRecord() == "port 2;115200,N,8,1;threshold 1;input length 0;open",
            "the line is not set up as port 2, 115200,N,8,1, threshold 1, input length 0, then opened");
    while (!m_input.empty() && !m_model.stopped())
        perform(static_cast<Op>(byte() % static_cast<int>(Op::Count)), false);
    checkAgreement();
    require(m_model.stopped() || m_model.openPages() == 0, "a page is left unfinished");
}

std::uint8_t ReceptionSession::byte()
{
    const std::string one = text(1);
    return one.empty() ? std::uint8_t{0} : static_cast<std::uint8_t>(one.front());
}

std::string ReceptionSession::text(std::size_t length)
{
    const auto taken = m_input.first(std::min(length, m_input.size()));
    m_input = m_input.subspan(taken.size());
    return {taken.begin(), taken.end()};
}

void ReceptionSession::perform(Op op, bool inYield)
{
    switch (op) {
    case Op::Receive:
        portEvent(kReceiveCode, text(byte()));
        break;
    case Op::Request:
        portEvent(kReceiveCode, std::to_string(byte() % 12 - 1));
        break;
    case Op::Event: {
        const auto &[code, traceLabel] = kEventCodes[byte() % kEventCodes.size()];
        portEvent(code, {}, traceLabel);
        break;
    }
    case Op::Edit: {
        const int page = byte() % kPageCount;
        const int column = byte() % kPageColumns;
        m_buffer.write(page, column, byte());
        break;
    }
    case Op::FailWrite:
        m_port.failWriteAfter(byte());
        break;
    case Op::Gap:
        m_gap = byte();
        break;
    case Op::Reset:
        // A line reopens between events, never inside a page being written.
        if (!inYield) {
            m_link.resetProtocol();
            m_model.reset();
            checkAgreement();
        }
        break;
    default: // Resume and Stop act only inside a yield
        break;
    }
}

bool ReceptionSession::yieldToEvents()
{
    const std::size_t openPages = m_model.yieldEntered();
    bool proceed = true;
    if (m_gap > 0) {
        --m_gap;
    } else if (m_gap == 0) {
        m_gap = -1;
        proceed = runEventsInYield();
    }
    m_model.yieldReturned(openPages, proceed);
    return proceed;
}

bool ReceptionSession::runEventsInYield()
{
    while (!m_input.empty() && !m_model.stopped()) {
        const Op op = static_cast<Op>(byte() % static_cast<int>(Op::Count));
        if (op == Op::Resume)
            return true;
        if (op == Op::Stop)
            m_model.stop();
        else
            perform(op, true);
    }
    return !m_model.stopped();
}

void ReceptionSession::portEvent(int code, std::string input, std::string_view label)
{
    const bool receives = code == kReceiveCode;
    const bool greetingDue = m_model.state().firstReceptionPending;
    const long writes = m_port.writes();
    const std::size_t openPages = m_model.openPages();
    bool answered = false;
    if (receives) {
        ++m_expectedReads;
        answered = m_model.receive(parseRequestNumber(input));
    }
    const bool greeting = greetingDue && !m_model.state().firstReceptionPending;
    m_port.deliver(code, std::move(input));
    m_lastTrace.clear();

    runHandler("MSComm1_OnComm", [this] { m_link.portEvent(); });

    if (!answered)
        require(m_port.writes() == writes, "an event that is no request to answer writes");
    require(m_model.stopped() || m_model.openPages() == openPages,
            "a handler ends with a page due unserved or unfinished");
    if (receives)
        require((m_lastTrace == kGreetingTrace) == greeting, "the greeting is traced other than at the greeting");
    else
        require(m_lastTrace == label, "a port event is traced under another label");
    checkAgreement();
}

void ReceptionSession::checkAgreement() const
{
    require(m_link.state() == m_model.state(), "the protocol state differs");
    require(m_link.waitingRequests() == m_model.waiting(), "a waiting request is lost or made up");
    require(m_port.reads() == m_expectedReads, "the input is read other than once per data-received event");
}

} // namespace kestrin::fuzz

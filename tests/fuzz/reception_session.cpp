// SPDX-License-Identifier: MIT
#include "reception_session.h"

#include "invariant.h"
#include "number_oracle.h"
#include "request_number.h"

#include <array>
#include <limits>

namespace kestrin::fuzz {

namespace {

constexpr std::string_view kGreetingTrace = "Board has said hallo and is ready for data";
constexpr int kPages = 8;
constexpr int kColumns = 61;
constexpr int kReceiveCode = 2;

// The control's codes in the order the dispatch tests them, then codes it
// does not know (among them 65538, which is 2 if cut to 16 bits).
constexpr std::array<int, 14> kTableCodes{1001, 1004, 1006, 1008, 1009, 1010, 1011,
                                          5,    3,    4,    6,    2,    1,    7};
constexpr std::array<int, 18> kUnknownCodes{0,     8,     9,     1000,   1002,
                                            1003,  1005,  1007,  1012,   65535,
                                            65537, 65538, -1,    -2,     32767,
                                            -32768, std::numeric_limits<int>::min(),
                                            std::numeric_limits<int>::max()};

int eventCode(std::uint8_t pick)
{
    const std::size_t index = pick % (kTableCodes.size() + kUnknownCodes.size());
    return index < kTableCodes.size() ? kTableCodes[index]
                                      : kUnknownCodes[index - kTableCodes.size()];
}

} // namespace

ReceptionSession::ReceptionSession(std::span<const std::uint8_t> bytes)
    : m_input(bytes), m_link(m_port, m_buffer, [this] { return yieldToEvents(); })
{
    m_previousReporter = setErrorReporter([this](std::string_view, std::string_view) {
        ++m_reports;
    });
    m_port.setObservers([this](std::uint8_t octet) { m_model.octetWritten(octet); },
                        [this] { m_model.writeFailed(); });
    m_link.setTrace([this](std::string_view label) {
        if (label == kGreetingTrace)
            ++m_greetingsTraced;
    });
}

ReceptionSession::~ReceptionSession()
{
    setErrorReporter(std::move(m_previousReporter));
}

void ReceptionSession::run()
{
    runHandler("Form_Load", [this] { m_link.setUp(); });
    checkSetUp();
    while (!m_input.empty() && !m_model.closed())
        perform(static_cast<Op>(m_input.byte() % static_cast<int>(Op::Count)), Place::TopLevel);
    checkEnd();
}

void ReceptionSession::perform(Op op, Place place)
{
    switch (op) {
    case Op::Receive:
        portEvent(kReceiveCode, m_input.text(m_input.byte()));
        break;
    case Op::Request:
        portEvent(kReceiveCode, std::to_string(m_input.byte() % 12 - 1));
        break;
    case Op::Event:
        portEvent(eventCode(m_input.byte()), {});
        break;
    case Op::Start:
        pressStart();
        break;
    case Op::Edit: {
        const int page = m_input.byte() % kPages;
        const int column = m_input.byte() % kColumns;
        edit(page, column, m_input.byte());
        break;
    }
    case Op::Convert:
        convert(m_input.byte());
        break;
    case Op::FailWrite:
        m_port.failWriteAfter(m_input.byte());
        break;
    case Op::Gap:
        m_gap = m_input.byte();
        break;
    case Op::Reset:
        // A line reopens between events, never inside a page being written.
        if (place == Place::TopLevel) {
            m_link.resetProtocol();
            m_model.reset();
            checkAgreement();
        }
        break;
    case Op::Resume:
    case Op::Stop:
    case Op::Count:
        break;
    }
}

bool ReceptionSession::yieldToEvents()
{
    const long page = m_model.yieldEntered();
    bool proceed = true;
    if (m_gap == 0) {
        m_gap = -1;
        proceed = runEventsInYield();
    } else if (m_gap > 0) {
        --m_gap;
    }
    m_model.yieldReturned(page, proceed);
    return proceed;
}

bool ReceptionSession::runEventsInYield()
{
    while (!m_input.empty() && !m_model.closed()) {
        const auto op = static_cast<Op>(m_input.byte() % static_cast<int>(Op::Count));
        if (op == Op::Resume)
            return true;
        if (op == Op::Stop) {
            m_model.close();
            return false;
        }
        perform(op, Place::InYield);
    }
    return !m_model.closed();
}

void ReceptionSession::portEvent(int code, std::string input)
{
    const bool receives = code == kReceiveCode;
    const long writesBefore = m_port.writes();
    const std::size_t pagesBefore = m_model.pagesInProgress();
    auto reception = ReceptionModel::Reception::Rejected;
    if (receives) {
        ++m_expectedReads;
        const auto number = parseRequestNumber(input);
        checkRequestNumber(input, number);
        reception = m_model.receive(number);
    }
    m_port.deliver(code, std::move(input));

    runHandler("MSComm1_OnComm", [this] { m_link.portEvent(); });

    if (!receives || reception != ReceptionModel::Reception::Accepted)
        require(m_port.writes() == writesBefore, "an unanswered event writes");
    if (!m_model.closed())
        require(m_model.pagesInProgress() == pagesBefore, "a handler ends with a page due unserved or unfinished");
    checkAgreement();
}

void ReceptionSession::pressStart()
{
    m_model.startPressed();
    runHandler("Command4_Click", [this] { sendStartPage(m_buffer, m_port); });
    m_model.startEnded();
    checkAgreement();
}

void ReceptionSession::edit(int page, int column, std::uint8_t value)
{
    m_buffer.write(page, column, value);
    m_model.edit(page, column, value);
}

void ReceptionSession::convert(std::uint8_t seed)
{
    std::uint32_t state = seed * 2654435761u + 1;
    for (int page = 0; page < kPages; ++page) {
        for (int column = 0; column < kColumns; ++column) {
            state = state * 1664525u + 1013904223u;
            edit(page, column, static_cast<std::uint8_t>(state >> 24));
        }
    }
}

void ReceptionSession::checkSetUp() const
{
    const PortSetUp &setUp = m_port.setUpRecord();
    require(setUp.port == 2 && setUp.settings == "115200,N,8,1" && setUp.receiveThreshold == 1
                && setUp.inputLength == 0,
            "the line is not set up as port 2, 115200,N,8,1, threshold 1, input length 0");
    require(setUp.open && setUp.configuredBeforeOpen, "the port is not configured, then opened");
    checkAgreement();
}

void ReceptionSession::checkAgreement() const
{
    const ProtocolState &state = m_link.state();
    require(state.lastRequest == m_model.lastRequest(), "last request differs");
    require(state.firstReceptionPending == m_model.firstReceptionPending(),
            "the greeting flag differs");
    require(m_link.waitingRequests() == m_model.waiting(), "the waiting requests differ");
    require(m_reports == m_model.expectedReports(),
            "handler errors are reported other than once per ended handler");
    require(m_port.reads() == m_expectedReads,
            "the input is read other than once per data-received event");
    require(m_greetingsTraced == m_model.greetings(), "a greeting is not traced exactly once");
}

void ReceptionSession::checkEnd() const
{
    checkAgreement();
    if (m_model.closed())
        return;
    require(m_model.pagesInProgress() == 0, "a page is left unfinished");
}

} // namespace kestrin::fuzz

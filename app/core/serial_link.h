// SPDX-License-Identifier: MIT
#pragma once

#include "comm_port.h"
#include "page_sender.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace kestrin {

struct ProtocolState
{
    std::int32_t lastRequest = 0;
    bool firstReceptionPending = true;

    friend bool operator==(const ProtocolState &, const ProtocolState &) = default;
};

// Sets the serial line up, classifies port events, swallows the board's
// greeting and hands every later request to the page sender, which serves a
// request arriving mid-page inside the page in progress.
class SerialLink
{
public:
    static constexpr int kPortNumber = 2;
    static constexpr std::string_view kSettings = "115200,N,8,1";
    static constexpr int kReceiveThreshold = 1;
    static constexpr int kInputLength = 0;

    using Trace = std::function<void(std::string_view)>;
    // Told of every reception that reads as a number: the greeting, or a
    // request about to be served (or refused, when outside the map).
    using ReceptionObserver = std::function<void(std::int32_t number, bool greeting)>;

    SerialLink(CommPort &port, PageSender &sender);

    // Port 2, "115200,N,8,1", threshold 1, input length 0, fresh protocol
    // state, then open. Throws RunTimeError when the port cannot be opened.
    void setUp();

    // The control's event: reads the code and acts on data received.
    void portEvent();

    // One reception from the board. Text that is not a number throws
    // RunTimeError and changes nothing; an out-of-range request throws
    // SubscriptError after updating the last request, and asks for no page.
    void receive(std::string_view text);

    // A newly opened line expects a new greeting; pages in progress and
    // requests still waiting are for the old line and go.
    void resetProtocol();

    [[nodiscard]] const ProtocolState &state() const { return m_state; }
    void setTrace(Trace trace) { m_trace = std::move(trace); }
    void setReceptionObserver(ReceptionObserver observer) { m_observer = std::move(observer); }

private:
    void trace(std::string_view label) const;

    CommPort &m_port;
    PageSender &m_sender;
    Trace m_trace;
    ReceptionObserver m_observer;
    ProtocolState m_state;
};

} // namespace kestrin

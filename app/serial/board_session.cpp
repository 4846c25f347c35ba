// SPDX-License-Identifier: MIT
#include "board_session.h"

#include "comm_control.h"
#include "handler_boundary.h"
#include "page_protocol.h"
#include "trace.h"

#include <ctime>

namespace kestrin {

BoardSession::BoardSession(std::optional<QString> device, const FrameBuffer &live, QObject *parent)
    : BoardSession(std::move(device), &live, parent)
{
}

BoardSession::BoardSession(std::optional<QString> device, QObject *parent)
    : BoardSession(std::move(device), nullptr, parent)
{
}

BoardSession::BoardSession(std::optional<QString> device, const FrameBuffer *live, QObject *parent)
    : QObject(parent),
      m_control(std::make_unique<CommControl>(std::move(device))),
      m_link(*m_control, m_sender),
      m_served(live != nullptr ? live : &m_own)
{
    m_link.setTrace(writeTrace);
    m_link.setReceptionObserver([this](std::int32_t number, bool greeting) { reception(number, greeting); });
    // One octet per turn of the event loop while pages are on their way.
    m_pump.setInterval(0);
    m_ignoredCount.setSingleShot(true);
    connect(&m_pump, &QTimer::timeout, this, &BoardSession::sendNextOctet);
    connect(&m_ignoredCount, &QTimer::timeout, this, &BoardSession::tellIgnoredCount);
    connect(m_control.get(), &LineControl::OnComm, this, &BoardSession::portEvent);
    connect(m_control.get(), &LineControl::lineReopened, this, &BoardSession::lineReopened);
    connect(m_control.get(), &LineControl::lineProblemChanged, this, &BoardSession::lineChanged);
}

BoardSession::~BoardSession() = default;

void BoardSession::setUp()
{
    runHandler("serial set-up", [this] { m_link.setUp(); });
}

void BoardSession::sendStartPage()
{
    kestrin::sendStartPage(*m_served, *m_control);
}

void BoardSession::stopAnswering()
{
    m_answering = false;
}

void BoardSession::stop()
{
    stopAnswering();
    m_pump.stop();
    m_sender.clear();
}

void BoardSession::serveFrame(const FrameBuffer &frame)
{
    m_pending = frame;
    if (!m_sender.busy())
        applyPendingFrame();
}

void BoardSession::portEvent()
{
    if (!m_answering)
        return;
    runHandlerReporting("port event", [this] { m_link.portEvent(); },
                        [this](std::string_view handler, std::string_view message) { reportIgnored(handler, message); });
    // A page asked for starts in this very turn; the rest follows turn by turn.
    if (m_sender.busy() && !m_pump.isActive()) {
        sendNextOctet();
        if (m_sender.busy())
            m_pump.start();
    }
}

void BoardSession::sendNextOctet()
{
    runHandler("page sender", [this] { m_sender.sendNext(*m_served, *m_control); });
    if (m_sender.busy())
        return;
    m_pump.stop();
    applyPendingFrame();
    emit pagesDone();
}

void BoardSession::reception(std::int32_t number, bool greeting)
{
    if (greeting) {
        emit greeted();
        return;
    }
    if (number >= 0 && number < static_cast<std::int32_t>(kRequestMap.size()))
        emit requested(number, pageForRequest(number));
}

// A board sending junk is told once, then counted.
void BoardSession::reportIgnored(std::string_view handler, std::string_view message)
{
    if (m_verbose) {
        reportHandlerError(handler, message);
    } else if (m_ignored.ignore(IgnoredReceptions::Clock::now(), std::time(nullptr))) {
        reportHandlerError(handler, message);
        m_ignoredCount.start(IgnoredReceptions::kQuietPeriod);
    }
}

void BoardSession::tellIgnoredCount()
{
    if (const auto line = m_ignored.endPeriod(IgnoredReceptions::Clock::now())) {
        reportHandlerError({}, *line);
        m_ignoredCount.start(IgnoredReceptions::kQuietPeriod);
    }
}

// A line that comes back is a new line: the board greets it anew, and a page
// begun on the old one never goes on.
void BoardSession::lineReopened()
{
    m_link.resetProtocol();
    m_pump.stop();
    applyPendingFrame();
}

// Pages in progress on a line that failed go no further.
void BoardSession::lineChanged()
{
    if (m_control->portOpen() || !m_sender.busy())
        return;
    m_sender.clear();
    m_pump.stop();
    applyPendingFrame();
    emit pagesDone();
}

void BoardSession::applyPendingFrame()
{
    if (m_pending && m_served == &m_own)
        m_own = *std::exchange(m_pending, std::nullopt);
}

} // namespace kestrin

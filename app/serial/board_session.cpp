// SPDX-License-Identifier: MIT
#include "board_session.h"

#include "handler_boundary.h"
#include "line_factory.h"
#include "network_address.h"
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
    : QObject(parent), m_served(live != nullptr ? live : &m_own)
{
    // One octet per turn of the event loop while pages are on their way.
    m_pump.setInterval(0);
    m_ignoredCount.setSingleShot(true);
    connect(&m_pump, &QTimer::timeout, this, &BoardSession::sendNextOctet);
    connect(&m_ignoredCount, &QTimer::timeout, this, &BoardSession::tellIgnoredCount);
    attachControl(makeLineControl(std::move(device)));
}

void BoardSession::attachControl(std::unique_ptr<LineControl> control)
{
    m_control = std::move(control);
    m_link.emplace(*m_control, m_sender);
    m_link->setTrace(writeTrace);
    m_link->setReceptionObserver([this](std::int32_t number, bool greeting) { reception(number, greeting); });
    connect(m_control.get(), &LineControl::OnComm, this, &BoardSession::portEvent);
    connect(m_control.get(), &LineControl::lineReopened, this, &BoardSession::lineReopened);
    connect(m_control.get(), &LineControl::lineProblemChanged, this, &BoardSession::lineChanged);
}

BoardSession::~BoardSession() = default;

void BoardSession::setUp()
{
    runHandler("serial set-up", [this] { m_link->setUp(); });
}

void BoardSession::setDevice(const QString &device)
{
    if (isNetworkDevice(device) == isNetworkDevice(m_control->device())) {
        m_control->setDevice(device);
        return;
    }
    std::unique_ptr<LineControl> control = makeLineControl(device);
    m_pump.stop();
    m_control->disconnect(this);
    m_control->setPortOpen(false);
    // This may run inside one of the old control's own signals.
    m_control.release()->deleteLater();
    attachControl(std::move(control));
    lineReopened();
    emit lineProblemChanged({});
    m_link->setUp();
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
    runHandlerReporting("port event", [this] { m_link->portEvent(); },
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
    if (!m_sender.busy())
        pagesEnded();
}

// No page in progress any more, sent or dropped: a new frame may come now.
void BoardSession::pagesEnded()
{
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

// A board sending junk is told once, then counted; both name its device, as
// one serve may have several boards.
void BoardSession::reportIgnored(std::string_view handler, std::string_view message)
{
    const std::string told = m_control->device().toStdString() + ": " + std::string(message);
    if (m_verbose) {
        reportHandlerError(handler, told);
    } else if (m_ignored.ignore(IgnoredReceptions::Clock::now(), std::time(nullptr))) {
        reportHandlerError(handler, told);
        m_ignoredCount.start(IgnoredReceptions::kQuietPeriod);
    }
}

void BoardSession::tellIgnoredCount()
{
    if (const auto line = m_ignored.endPeriod(IgnoredReceptions::Clock::now())) {
        reportHandlerError({}, m_control->device().toStdString() + ": " + *line);
        m_ignoredCount.start(IgnoredReceptions::kQuietPeriod);
    }
}

// A line that comes back is a new line: the board greets it anew, and a page
// begun on the old one never goes on.
void BoardSession::lineReopened()
{
    const bool wasBusy = m_sender.busy();
    m_link->resetProtocol();
    if (wasBusy)
        pagesEnded();
}

// Pages in progress on a line that failed go no further.
void BoardSession::lineChanged()
{
    emit lineProblemChanged(m_control->lineProblem());
    if (m_control->portOpen() || !m_sender.busy())
        return;
    m_sender.clear();
    pagesEnded();
}

void BoardSession::applyPendingFrame()
{
    if (m_pending && m_served == &m_own)
        m_own = *std::exchange(m_pending, std::nullopt);
}

} // namespace kestrin

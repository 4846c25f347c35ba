// SPDX-License-Identifier: MIT
#include "frame_server.h"

#include "file_watch.h"
#include "handler_boundary.h"
#include "page_protocol.h"
#include "quit_signals.h"
#include "run_time_error.h"

#include <QCoreApplication>

#include <cstdio>

namespace kestrin {

namespace {

constexpr int kLineGone = 1;

} // namespace

void logLine(const QString &text)
{
    std::fprintf(stderr, "kestrin: %s\n", qPrintable(text));
    std::fflush(stderr);
}

FrameServer::FrameServer(Loader loader, Options options)
    : m_loader(std::move(loader)),
      m_options(std::move(options)),
      m_MSComm1(m_options.device),
      m_link(m_MSComm1, m_buffer, [this] { return m_MSComm1.yieldToEventLoop(); })
{
    connect(&m_MSComm1, &CommControl::OnComm, this, &FrameServer::portEvent);
    connect(&m_MSComm1, &CommControl::lineProblemChanged, this, &FrameServer::lineProblemChanged);
    connect(&m_MSComm1, &CommControl::lineReopened, this, [this] { m_link.resetProtocol(); });
    m_link.setReceptionObserver([this](std::int32_t number, bool greeting) { reception(number, greeting); });
}

FrameServer::~FrameServer() = default;

int FrameServer::run()
{
    m_buffer = m_loader();
    m_quitSignals = std::make_unique<QuitSignals>();
    connect(m_quitSignals.get(), &QuitSignals::quitRequested, this, [this](int) { quit(0); });
    if (!m_options.watched.isEmpty()) {
        m_watch = std::make_unique<FileWatch>(m_options.watched);
        connect(m_watch.get(), &FileWatch::changed, this, &FrameServer::reload);
    }
    logLine(QStringLiteral("serving %1 on %2").arg(m_options.source, m_MSComm1.device()));
    runHandler("serial set-up", [this] { m_link.setUp(); });
    if (lineGoneForGood())
        return kLineGone;
    QCoreApplication::exec();
    m_MSComm1.setPortOpen(false);
    return m_status;
}

void FrameServer::portEvent()
{
    // Once asked to end, no new page starts; the one on the wire finishes.
    if (m_quitting)
        return;
    runHandler("port event", [this] { m_link.portEvent(); });
}

void FrameServer::reception(std::int32_t number, bool greeting)
{
    if (greeting) {
        logLine(QStringLiteral("the board greeted on %1").arg(m_MSComm1.device()));
        return;
    }
    if (m_options.verbose && number >= 0 && number < static_cast<std::int32_t>(kRequestMap.size()))
        logLine(QStringLiteral("request %1: page %2").arg(number).arg(pageForRequest(number)));
}

// A failed reload keeps the last good frame and is told once, however many
// times the broken file is touched before it is mended.
void FrameServer::reload()
{
    try {
        m_buffer = m_loader();
        m_lastReloadFailure.clear();
        logLine(QStringLiteral("reloaded %1").arg(m_options.source));
    } catch (const RunTimeError &error) {
        const QString failure = QString::fromStdString(error.what());
        if (failure == m_lastReloadFailure)
            return;
        m_lastReloadFailure = failure;
        logLine(QStringLiteral("reload failed, still serving the last good frame: %1").arg(failure));
    }
}

void FrameServer::lineProblemChanged(const QString &)
{
    if (lineGoneForGood()) {
        logLine(QStringLiteral("%1 will not come back; stopping").arg(m_MSComm1.device()));
        quit(kLineGone);
    }
}

bool FrameServer::lineGoneForGood() const
{
    return m_MSComm1.lineState() != CommControl::LineState::Open && !m_MSComm1.awaitingReturn();
}

void FrameServer::quit(int status)
{
    if (m_quitting)
        return;
    m_quitting = true;
    m_status = status;
    QCoreApplication::quit();
}

} // namespace kestrin

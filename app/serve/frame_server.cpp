// SPDX-License-Identifier: MIT
#include "frame_server.h"

#include "file_watch.h"
#include "handler_boundary.h"
#include "page_protocol.h"
#include "quit_signals.h"
#include "run_time_error.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <utility>

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
    connect(m_quitSignals.get(), &QuitSignals::quitRequested, this, [this](int signal) {
        logLine(QStringLiteral("stopping on %1").arg(signal == SIGINT ? "SIGINT" : "SIGTERM"));
        quit(0);
    });
    if (!m_options.watched.isEmpty()) {
        m_watch = std::make_unique<FileWatch>(m_options.watched);
        connect(m_watch.get(), &FileWatch::changed, this, &FrameServer::reload);
    }
    runHandler("serial set-up", [this] { m_link.setUp(); });
    if (lineGoneForGood()) {
        logLine(QStringLiteral("%1 cannot be served; stopping").arg(m_MSComm1.device()));
        return kLineGone;
    }
    logLine(QStringLiteral("serving %1 on %2").arg(m_options.source, m_MSComm1.device()));
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
// times the file is touched before it reads well again.
void FrameServer::reload()
{
    try {
        m_buffer = m_loader();
        m_reloadFailing = false;
        logLine(QStringLiteral("reloaded %1").arg(m_options.source));
    } catch (const RunTimeError &error) {
        if (std::exchange(m_reloadFailing, true))
            return;
        logLine(QStringLiteral("reload failed, still serving the last good frame: %1").arg(error.what()));
    }
}

// Looked at once the control has said what happened: a line that will not
// come back (a pseudo-terminal, whose name is handed out again) ends the serve.
void FrameServer::lineProblemChanged(const QString &)
{
    QTimer::singleShot(0, this, [this] {
        if (m_quitting || !lineGoneForGood())
            return;
        logLine(QStringLiteral("%1 will not come back; stopping").arg(m_MSComm1.device()));
        quit(kLineGone);
    });
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

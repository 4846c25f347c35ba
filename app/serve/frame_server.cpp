// SPDX-License-Identifier: MIT
#include "frame_server.h"

#include "log_line.h"
#include "quit_signals.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <utility>

namespace kestrin {

namespace {

constexpr int kLineGone = 1;

} // namespace

FrameServer::FrameServer(std::unique_ptr<FrameFeed> feed, Options options)
    : m_feed(std::move(feed)), m_options(std::move(options))
{
    connect(m_feed.get(), &FrameFeed::frameChanged, this, &FrameServer::serve);
    if (m_options.devices.isEmpty())
        addSession(std::nullopt);
    for (const QString &device : m_options.devices)
        addSession(device);
}

FrameServer::~FrameServer() = default;

void FrameServer::addSession(const std::optional<QString> &device)
{
    auto session = std::make_unique<BoardSession>(device);
    BoardSession *board = session.get();
    board->setVerbose(m_options.verbose);
    connect(board, &BoardSession::greeted, this,
            [board] { logLine(QStringLiteral("the board greeted on %1").arg(board->control().device())); });
    if (m_options.verbose) {
        connect(board, &BoardSession::requested, this, [board](int number, int page) {
            logLine(QStringLiteral("%1: request %2: page %3").arg(board->control().device()).arg(number).arg(page));
        });
    }
    connect(board, &BoardSession::pagesDone, this, &FrameServer::finishWhenPagesAreDone);
    // Looked at once the control has said what happened.
    connect(board, &BoardSession::lineProblemChanged, this,
            [this] { QTimer::singleShot(0, this, &FrameServer::lookAtLines); });
    m_sessions.push_back(std::move(session));
}

int FrameServer::run()
{
    m_feed->start();
    m_quitSignals = std::make_unique<QuitSignals>();
    connect(m_quitSignals.get(), &QuitSignals::quitRequested, this, [this](int signal) {
        logLine(QStringLiteral("stopping on %1").arg(signal == SIGINT ? "SIGINT" : "SIGTERM"));
        quit(0);
    });
    for (const auto &session : m_sessions)
        session->setUp();
    if (allGoneForGood()) {
        for (const auto &session : m_sessions)
            logLine(QStringLiteral("%1 cannot be served; stopping").arg(session->control().device()));
        return kLineGone;
    }
    QStringList devices;
    for (const auto &session : m_sessions)
        devices.append(session->control().device());
    logLine(QStringLiteral("serving %1 on %2").arg(m_feed->description(), devices.join(QStringLiteral(", "))));
    QCoreApplication::exec();
    for (const auto &session : m_sessions)
        session->control().setPortOpen(false);
    return m_status;
}

void FrameServer::serve(const FrameBuffer &frame)
{
    for (const auto &session : m_sessions)
        session->serveFrame(frame);
}

// A line that will not come back (a pseudo-terminal, whose name is handed
// out again) is served no more; with none left, the serve ends.
void FrameServer::lookAtLines()
{
    if (m_quitting || !allGoneForGood())
        return;
    for (const auto &session : m_sessions)
        logLine(QStringLiteral("%1 will not come back; stopping").arg(session->control().device()));
    quit(kLineGone);
}

bool FrameServer::goneForGood(const BoardSession &session)
{
    const LineControl &control = session.control();
    return control.lineState() != LineControl::LineState::Open && !control.awaitingReturn();
}

bool FrameServer::allGoneForGood() const
{
    return std::all_of(m_sessions.begin(), m_sessions.end(), [](const auto &session) { return goneForGood(*session); });
}

// Once asked to end, no new page starts; the ones on the wire finish.
void FrameServer::quit(int status)
{
    if (m_quitting)
        return;
    m_quitting = true;
    m_status = status;
    for (const auto &session : m_sessions)
        session->stopAnswering();
    finishWhenPagesAreDone();
}

void FrameServer::finishWhenPagesAreDone()
{
    const bool busy = std::any_of(m_sessions.begin(), m_sessions.end(),
                                  [](const auto &session) { return session->sender().busy(); });
    if (m_quitting && !busy)
        QCoreApplication::quit();
}

} // namespace kestrin

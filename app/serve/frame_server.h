// SPDX-License-Identifier: MIT
#pragma once

#include "board_session.h"
#include "frame_buffer.h"
#include "frame_feed.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace kestrin {

class QuitSignals;

// Serves the frames of a feed to the boards without a window, one board
// session each, on QCoreApplication. It logs one line per event worth one
// (started, greeting, line lost and back, frame reloaded or not), and with
// verbose one per request. A new frame reaches each board from its next page
// on. SIGINT and SIGTERM end it once the pages on the wire are complete.
class FrameServer : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QStringList devices; // none: serial port 2's own device
        bool verbose = false;
    };

    FrameServer(std::unique_ptr<FrameFeed> feed, Options options);
    ~FrameServer() override;

    // Starts the feed, opens the lines and serves until a quit signal or
    // until no line can come back. Throws RunTimeError when the feed cannot
    // make its first frame; returns the exit status otherwise.
    [[nodiscard]] int run();

private:
    void addSession(const std::optional<QString> &device);
    void serve(const FrameBuffer &frame);
    void quit(int status);
    void finishWhenPagesAreDone();
    void lookAtLines();
    [[nodiscard]] static bool goneForGood(const BoardSession &session);
    [[nodiscard]] bool allGoneForGood() const;

    std::unique_ptr<FrameFeed> m_feed;
    Options m_options;
    std::vector<std::unique_ptr<BoardSession>> m_sessions;
    std::unique_ptr<QuitSignals> m_quitSignals;
    bool m_quitting = false;
    int m_status = 0;
};

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include "board_session.h"
#include "frame_buffer.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kestrin {

class FileWatch;
class QuitSignals;

// Serves a frame to the boards without a window, one board session each, on
// QCoreApplication. It logs one line per event worth one (started, greeting,
// line lost and back, frame reloaded or not), and with verbose one per
// request. A new frame reaches each board from its next page on. SIGINT and
// SIGTERM end it once the pages on the wire are complete.
class FrameServer : public QObject
{
    Q_OBJECT

public:
    // Builds the frame from its files; throws RunTimeError naming the file.
    using Loader = std::function<FrameBuffer()>;

    struct Options
    {
        QStringList devices;   // none: serial port 2's own device
        QString source;        // what is served, for the log
        QStringList watched;   // reloaded when they change; none: no watch
        bool verbose = false;
    };

    FrameServer(Loader loader, Options options);
    ~FrameServer() override;

    // Loads the frame, opens the lines and serves until a quit signal or
    // until no line can come back. Throws RunTimeError when the first load
    // fails; returns the exit status otherwise.
    [[nodiscard]] int run();

private:
    void addSession(const std::optional<QString> &device);
    void serve(const FrameBuffer &frame);
    void reload();
    void quit(int status);
    void finishWhenPagesAreDone();
    void lookAtLines();
    [[nodiscard]] static bool goneForGood(const BoardSession &session);
    [[nodiscard]] bool allGoneForGood() const;

    Loader m_loader;
    Options m_options;
    std::vector<std::unique_ptr<BoardSession>> m_sessions;
    std::unique_ptr<FileWatch> m_watch;
    std::unique_ptr<QuitSignals> m_quitSignals;
    bool m_reloadFailing = false;
    bool m_quitting = false;
    int m_status = 0;
};

} // namespace kestrin

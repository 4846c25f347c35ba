// SPDX-License-Identifier: MIT
#pragma once

#include "comm_control.h"
#include "frame_buffer.h"
#include "serial_link.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace kestrin {

class FileWatch;
class QuitSignals;

// Serves one frame to the board without a window: the same control, serial
// link and page protocol as Form1, on QCoreApplication. It logs one line per
// event worth one (started, greeting, line lost and back, frame reloaded or
// not), and with verbose one per request. SIGINT and SIGTERM end it once the
// page on the wire is complete.
class FrameServer : public QObject
{
    Q_OBJECT

public:
    // Builds the frame from its files; throws RunTimeError naming the file.
    using Loader = std::function<FrameBuffer()>;

    struct Options
    {
        std::optional<QString> device; // port 2's device, when not its own
        QString source;                // what is served, for the log
        QStringList watched;           // reloaded when they change; none: no watch
        bool verbose = false;
    };

    FrameServer(Loader loader, Options options);
    ~FrameServer() override;

    // Loads the frame, opens the line and serves until a quit signal or a
    // line that cannot come back. Throws RunTimeError when the first load
    // fails; returns the exit status otherwise.
    [[nodiscard]] int run();

private:
    void portEvent();
    void reload();
    void quit(int status);
    void lineProblemChanged(const QString &problem);
    void reception(std::int32_t number, bool greeting);
    [[nodiscard]] bool lineGoneForGood() const;

    Loader m_loader;
    Options m_options;
    FrameBuffer m_buffer;
    CommControl m_MSComm1;
    SerialLink m_link;
    std::unique_ptr<FileWatch> m_watch;
    std::unique_ptr<QuitSignals> m_quitSignals;
    bool m_reloadFailing = false;
    bool m_quitting = false;
    int m_status = 0;
};

// One line of the server's log on stderr: "kestrin: <text>".
void logLine(const QString &text);

} // namespace kestrin

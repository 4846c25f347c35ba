// SPDX-License-Identifier: MIT
#include "serve_command.h"

#include "frame_server.h"
#include "log_line.h"
#include "run_time_error.h"

namespace kestrin {

namespace {

constexpr int kFailed = 1;

// What is served, in the words of the log's first line.
QString describeSource(const FrameSourceOptions &source)
{
    if (!source.frame.isEmpty())
        return source.frame;
    if (!source.display.isEmpty())
        return source.display + QStringLiteral(" on the whole display");
    if (source.hasImages()) {
        QStringList halves;
        if (!source.upper.isEmpty())
            halves.append(source.upper + QStringLiteral(" on the upper half"));
        if (!source.lower.isEmpty())
            halves.append(source.lower + QStringLiteral(" on the lower half"));
        return halves.join(QStringLiteral(" and "));
    }
    return QStringLiteral("the built-in pictures");
}

QStringList filesOf(const FrameSourceOptions &source)
{
    QStringList files;
    for (const QString &file : {source.frame, source.upper, source.lower, source.display}) {
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

} // namespace

int runServe(const ServeOptions &serve)
{
    const FrameSourceOptions source = serve.source;
    FrameServer::Options options;
    options.devices = serve.devices;
    options.source = describeSource(source);
    options.watched = serve.watch ? filesOf(source) : QStringList();
    options.verbose = serve.verbose;
    FrameServer server([source] { return frameOf(loadFrameSource(source)); }, options);
    try {
        return server.run();
    } catch (const RunTimeError &error) {
        logLine(QString::fromStdString(error.what()));
        return kFailed;
    }
}

} // namespace kestrin

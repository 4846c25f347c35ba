// SPDX-License-Identifier: MIT
#include "serve_command.h"

#include "animation_feed.h"
#include "frame_server.h"
#include "lcdproc_feed.h"
#include "log_line.h"
#include "run_time_error.h"
#include "still_feed.h"

namespace kestrin {

namespace {

constexpr int kFailed = 1;

// What is served, in the words of the log's first line.
QString describeSource(const FrameSourceOptions &source)
{
    if (!source.frame.isEmpty())
        return source.frame;
    if (!source.text.file.isEmpty())
        return source.text.file == QLatin1String("-") ? QStringLiteral("the text on standard input") : source.text.file;
    if (source.text.given())
        return QStringLiteral("the text \"%1\"").arg(source.text.text);
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
    for (const QString &file : {source.frame, source.upper, source.lower, source.display, source.text.file}) {
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

bool givesAFrame(const FrameSourceOptions &source)
{
    return !source.frame.isEmpty() || source.hasImages() || source.text.given();
}

std::unique_ptr<FrameFeed> feedOf(const ServeOptions &serve)
{
    if (!serve.play.isEmpty()) {
        const QString path = serve.play;
        const Preparation preparation = serve.source.preparation;
        const std::chrono::milliseconds delay = serve.frameDelay;
        return std::make_unique<AnimationFeed>([=] { return loadAnimation(path, preparation, delay); }, path,
                                               AnimationFeed::Playing{serve.loops, serve.speed},
                                               serve.watch ? QStringList{path} : QStringList());
    }
    const FrameSourceOptions source = serve.source;
    auto still = std::make_unique<StillFeed>([source] { return frameOf(loadFrameSource(source)); },
                                             describeSource(source), serve.watch ? filesOf(source) : QStringList());
    if (serve.lcdproc.isEmpty())
        return still;
    return std::make_unique<LcdprocFeed>(serve.lcdproc, givesAFrame(source) ? std::move(still) : nullptr, serve.verbose);
}

} // namespace

int runServe(const ServeOptions &serve)
{
    std::unique_ptr<FrameFeed> feed = feedOf(serve);
    if (auto *animation = qobject_cast<AnimationFeed *>(feed.get())) {
        QObject::connect(animation, &AnimationFeed::finished, animation, [path = serve.play, loops = serve.loops] {
            logLine(QStringLiteral("played %1 %2; showing its last frame")
                        .arg(path, loops == 1 ? QStringLiteral("once") : QStringLiteral("%1 times").arg(loops)));
        });
    }
    FrameServer server(std::move(feed), {serve.devices, serve.verbose});
    try {
        return server.run();
    } catch (const RunTimeError &error) {
        logLine(QString::fromStdString(error.what()));
        return kFailed;
    }
}

} // namespace kestrin

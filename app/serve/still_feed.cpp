// SPDX-License-Identifier: MIT
#include "still_feed.h"

#include "file_watch.h"
#include "log_line.h"
#include "run_time_error.h"

#include <utility>

namespace kestrin {

StillFeed::StillFeed(Loader loader, QString description, QStringList watched, QObject *parent)
    : FrameFeed(parent), m_loader(std::move(loader)), m_description(std::move(description)), m_watched(std::move(watched))
{
}

StillFeed::~StillFeed() = default;

void StillFeed::start()
{
    emit frameChanged(m_loader());
    if (m_watched.isEmpty())
        return;
    m_watch = std::make_unique<FileWatch>(m_watched);
    connect(m_watch.get(), &FileWatch::changed, this, &StillFeed::reload);
}

void StillFeed::reload()
{
    try {
        const FrameBuffer frame = m_loader();
        m_reloadFailing = false;
        logLine(QStringLiteral("reloaded %1").arg(m_description));
        emit frameChanged(frame);
    } catch (const RunTimeError &error) {
        if (std::exchange(m_reloadFailing, true))
            return;
        logLine(QStringLiteral("reload failed, still serving the last good frame: %1").arg(error.what()));
    }
}

} // namespace kestrin

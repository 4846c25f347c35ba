// SPDX-License-Identifier: MIT
#pragma once

#include "frame_feed.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace kestrin {

class FileWatch;

// One frame, made by a loader from its files (the built-in pictures, images,
// text or a frame file) and made again when watched files change. A reload
// that fails keeps the last good frame and is told once, however many times
// the files change before they read well again.
class StillFeed : public FrameFeed
{
    Q_OBJECT

public:
    using Loader = std::function<FrameBuffer()>;

    StillFeed(Loader loader, QString description, QStringList watched, QObject *parent = nullptr);
    ~StillFeed() override;

    void start() override;
    [[nodiscard]] QString description() const override { return m_description; }

private:
    void reload();

    Loader m_loader;
    QString m_description;
    QStringList m_watched;
    std::unique_ptr<FileWatch> m_watch;
    bool m_reloadFailing = false;
};

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include "animation.h"
#include "frame_feed.h"

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>

namespace kestrin {

class FileWatch;

// An animation played in real time by the wall clock: at every moment the
// frame due then is the one served, so the animation never drifts. A board
// that cannot keep up misses frames; none is held back. With watch, a file
// replaced starts playing from its first frame; one that cannot be read
// keeps the old one playing, told once.
class AnimationFeed : public FrameFeed
{
    Q_OBJECT

public:
    using Loader = std::function<Animation()>;

    struct Playing
    {
        int loops = 0;      // 0: for ever; else the last frame stays after them
        double speed = 1.0; // animation time per wall time
    };

    AnimationFeed(Loader loader, QString description, Playing playing, QStringList watched, QObject *parent = nullptr);
    ~AnimationFeed() override;

    void start() override;
    [[nodiscard]] QString description() const override { return m_description; }
    // The frame due now, by the clock (the last one once all loops played).
    [[nodiscard]] std::size_t frameDue() const;
    [[nodiscard]] std::size_t frameShown() const { return m_shown; }

signals:
    // Every loop played: the last frame stays.
    void finished();

private:
    void play(Animation animation);
    void showDueFrame();
    void reload();
    [[nodiscard]] double playedMilliseconds() const;
    [[nodiscard]] std::size_t frameAt(double played) const;

    Loader m_loader;
    QString m_description;
    Playing m_playing;
    QStringList m_watched;
    Animation m_animation;
    std::vector<double> m_ends; // each frame's end within one loop, in milliseconds
    QElapsedTimer m_clock;
    QTimer m_next;
    std::size_t m_shown = 0;
    bool m_finished = false;
    std::unique_ptr<FileWatch> m_watch;
    bool m_reloadFailing = false;
};

} // namespace kestrin

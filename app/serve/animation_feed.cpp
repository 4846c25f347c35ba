// SPDX-License-Identifier: MIT
#include "animation_feed.h"

#include "file_watch.h"
#include "log_line.h"
#include "run_time_error.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kestrin {

AnimationFeed::AnimationFeed(Loader loader, QString description, Playing playing, QStringList watched, QObject *parent)
    : FrameFeed(parent),
      m_loader(std::move(loader)),
      m_description(std::move(description)),
      m_playing(playing),
      m_watched(std::move(watched))
{
    m_next.setSingleShot(true);
    m_next.setTimerType(Qt::PreciseTimer);
    connect(&m_next, &QTimer::timeout, this, &AnimationFeed::showDueFrame);
}

AnimationFeed::~AnimationFeed() = default;

void AnimationFeed::start()
{
    play(m_loader());
    if (m_watched.isEmpty())
        return;
    m_watch = std::make_unique<FileWatch>(m_watched);
    connect(m_watch.get(), &FileWatch::changed, this, &AnimationFeed::reload);
}

void AnimationFeed::play(Animation animation)
{
    m_animation = std::move(animation);
    m_ends.clear();
    double end = 0.0;
    for (const std::chrono::milliseconds delay : m_animation.delays)
        m_ends.push_back(end += static_cast<double>(delay.count()));
    m_finished = false;
    m_clock.start();
    m_shown = 0;
    emit frameChanged(m_animation.frames.front().toFrame());
    showDueFrame();
}

double AnimationFeed::playedMilliseconds() const
{
    return static_cast<double>(m_clock.nsecsElapsed()) / 1e6 * m_playing.speed;
}

std::size_t AnimationFeed::frameDue() const
{
    return frameAt(playedMilliseconds());
}

std::size_t AnimationFeed::frameAt(double played) const
{
    if (m_playing.loops > 0 && played >= m_ends.back() * m_playing.loops)
        return m_ends.size() - 1;
    const double within = std::fmod(played, m_ends.back());
    const auto after = std::upper_bound(m_ends.begin(), m_ends.end(), within);
    return std::min(static_cast<std::size_t>(after - m_ends.begin()), m_ends.size() - 1);
}

// Shows the frame due now and wakes up when the next one is due.
void AnimationFeed::showDueFrame()
{
    const double played = playedMilliseconds();
    const std::size_t due = frameAt(played);
    if (due != m_shown) {
        m_shown = due;
        emit frameChanged(m_animation.frames[due].toFrame());
    }
    const double loop = m_ends.back();
    if (m_playing.loops > 0 && played >= loop * m_playing.loops) {
        if (!std::exchange(m_finished, true))
            emit finished();
        return;
    }
    const double loopStart = std::floor(played / loop) * loop;
    const double nextChange = loopStart + m_ends[due];
    const double wait = (nextChange - played) / m_playing.speed;
    m_next.start(std::max(0, static_cast<int>(std::ceil(wait))));
}

void AnimationFeed::reload()
{
    try {
        Animation animation = m_loader();
        m_reloadFailing = false;
        logLine(QStringLiteral("reloaded %1; playing it from its first frame").arg(m_description));
        play(std::move(animation));
    } catch (const RunTimeError &error) {
        if (std::exchange(m_reloadFailing, true))
            return;
        logLine(QStringLiteral("reload failed, still playing the last good animation: %1").arg(error.what()));
    }
}

} // namespace kestrin

// SPDX-License-Identifier: MIT
// Animations: the preparation of one 1920 x 1080 frame of a clip, and a
// 60-second animation of 10 frames a second played by kestrin serve's feed
// to a board paced like the 115200-baud line: how far its end drifts from
// the wall clock, and how many frames the board showed whole (all eight
// pages of one frame on its LCD at once) beside its refresh rate.
#include "animation_feed.h"
#include "bench_table.h"
#include "board_client.h"
#include "board_line.h"
#include "board_session.h"
#include "picture_preparation.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <set>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr int kPreparationRuns = 50;
constexpr double kPreparationTargetMs = 5.0;
constexpr int kFrames = 600;
constexpr std::chrono::milliseconds kFrameDelay{100};
constexpr double kFramesPerSecond = 1000.0 / 100.0;
constexpr double kLineRefreshLimit = 115200.0 / 10.0 / (8 * 62); // 23.2: pages and their requests

QImage clipFrame()
{
    QImage frame(1920, 1080, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < frame.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(frame.scanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            const int grey = qBound(0, (x + y) * 255 / 3000 + int(random.bounded(32)) - 16, 255);
            line[x] = qRgb(grey, grey, grey);
        }
    }
    return frame;
}

// Frame n carries its number in columns 0 and 1 of every page.
kestrin::Animation numberedAnimation()
{
    kestrin::Animation animation;
    for (int number = 0; number < kFrames; ++number) {
        kestrin::FrameBuffer frame;
        for (int page = 0; page < kestrin::kPageCount; ++page) {
            frame.write(page, 0, std::uint8_t(number & 0xFF));
            frame.write(page, 1, std::uint8_t(number >> 8));
        }
        animation.frames.push_back(kestrin::DisplayBitmap::fromFrame(frame));
        animation.delays.push_back(kFrameDelay);
    }
    return animation;
}

struct BoardCount
{
    std::set<int> shownWhole;
    long refreshes = 0;
    double seconds = 0.0;
};

// The paced board: refreshes its LCD page by page until stopped, and notes
// every frame that stood whole on it.
void playBoard(board::BoardLine &line, const std::atomic<bool> &stop, BoardCount &count)
{
    board::BoardClient client(line, true);
    std::array<int, board::kDisplayOrder.size()> onLcd{};
    onLcd.fill(-1);
    line.waitForHost();
    client.greet();
    const auto start = std::chrono::steady_clock::now();
    while (!stop) {
        for (std::size_t slot = 0; slot < board::kDisplayOrder.size(); ++slot) {
            const board::Page page = client.requestPage(board::kDisplayOrder[slot].request);
            onLcd[slot] = page[0] | page[1] << 8;
            if (std::all_of(onLcd.begin(), onLcd.end(), [&](int frame) { return frame == onLcd[0]; }))
                count.shownWhole.insert(onLcd[0]);
        }
        ++count.refreshes;
        count.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QImage frame = clipFrame();
    kestrin::Preparation preparation;
    preparation.dithering = kestrin::Dithering::Ordered;
    const auto prepared = bench::timeRuns(kPreparationRuns, [&] {
        const QImage grey = kestrin::greyAtDisplay(frame, kestrin::kDisplaySize, kestrin::Scaling::Fit);
        (void)kestrin::bitmapOfDecisions(kestrin::decideGrey(grey, 127, preparation));
    });

    board::BoardLine line = board::BoardLine::createPty();
    kestrin::BoardSession session(QString::fromStdString(line.path()));
    kestrin::AnimationFeed feed(numberedAnimation, QStringLiteral("numbered"), {1, 1.0}, {});
    QObject::connect(&feed, &kestrin::FrameFeed::frameChanged, &session, &kestrin::BoardSession::serveFrame);
    std::atomic<bool> stop = false;
    BoardCount count;
    std::thread board([&] {
        try {
            playBoard(line, stop, count);
        } catch (const std::exception &error) {
            std::fprintf(stderr, "bench_animation: %s\n", error.what());
        }
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    // From the first frame on the way to the end of the last one.
    QElapsedTimer clock;
    QObject::connect(&feed, &kestrin::FrameFeed::frameChanged, &app, [&clock] {
        if (!clock.isValid())
            clock.start();
    });
    double drift = 0.0;
    QObject::connect(&feed, &kestrin::AnimationFeed::finished, &app, [&] {
        drift = double(clock.nsecsElapsed()) / 1e6 - double(kFrames * kFrameDelay.count());
        stop = true;
    });
    session.setUp();
    feed.start();
    QCoreApplication::exec();
    board.join();
    const int status = drift < 0 || count.refreshes == 0 ? 1 : 0;

    bench::Table table("Animations: one 1920 x 1080 frame prepared; 60 s at 10 frames a second to a paced board");
    table.add("animation: 1920x1080 frame prepared, median", bench::median(prepared), kPreparationTargetMs, "ms");
    table.add("animation: drift of 60 s at its end", drift, double(kFrameDelay.count()), "ms");
    const double playedSeconds = double(kFrames) / kFramesPerSecond;
    table.addAtLeast("animation: frames shown whole, 10/s clip", double(count.shownWhole.size()) / playedSeconds,
                     0.99 * kFramesPerSecond, "/s");
    table.addAtLeast("animation: board refreshes /s meanwhile", double(count.refreshes) / count.seconds,
                     0.95 * kLineRefreshLimit, "/s");
    table.print();
    return status;
}

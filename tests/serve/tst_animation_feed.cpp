// SPDX-License-Identifier: MIT
// An animation played to a board on a pseudo-terminal: every page belongs to
// one frame, the frames come in order, each is seen whole, and the clock
// keeps the whole animation on time.
#include "animation_feed.h"
#include "board_fixture.h"
#include "board_session.h"
#include "page_protocol.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace kestrin;
using namespace kestrin::test;
using namespace std::chrono_literals;

namespace {

// One frame per delay; every byte of page p of frame k is 16 k + p.
Animation numberedFrames(const std::vector<std::chrono::milliseconds> &delays)
{
    Animation animation;
    for (int frame = 0; frame < int(delays.size()); ++frame) {
        FrameBuffer buffer;
        for (int page = 0; page < kPageCount; ++page)
            for (int column = 0; column < kPageColumns; ++column)
                buffer.write(page, column, std::uint8_t(16 * frame + page));
        animation.frames.push_back(DisplayBitmap::fromFrame(buffer));
        animation.delays.push_back(delays[std::size_t(frame)]);
    }
    return animation;
}

} // namespace

class TestAnimationFeed : public QObject
{
    Q_OBJECT

private slots:
    void framesChangeOnlyBetweenPages()
    {
        Board board;
        BoardSession session(board.path());
        AnimationFeed feed([] { return numberedFrames({100ms, 200ms, 300ms}); }, "three", {1, 1.0}, {});
        connect(&feed, &FrameFeed::frameChanged, &session, &BoardSession::serveFrame);
        QSignalSpy finished(&feed, &AnimationFeed::finished);
        session.setUp();
        feed.start();
        QVERIFY(board.sendRead("0"));
        QList<QList<int>> refreshes; // the frame of each page, eight pages a refresh
        for (int settled = 0; settled < 3;) {
            QList<int> frames;
            for (const int request : {1, 5, 2, 6, 7, 3, 0, 4}) {
                QVERIFY(board.sendRead(QByteArray::number(request)));
                const QByteArray page = board.receive(kPageColumns);
                const int frame = std::uint8_t(page[0]) / 16;
                QCOMPARE(page, QByteArray(kPageColumns, char(16 * frame + pageForRequest(request))));
                QVERIFY(refreshes.isEmpty() || frame >= refreshes.back().back());
                frames.append(frame);
            }
            refreshes.append(frames);
            settled += finished.isEmpty() ? 0 : 1;
        }
        for (const int frame : {0, 1, 2})
            QVERIFY(refreshes.contains(QList<int>(8, frame)));
    }

    // 60 frames of a second each at 20 times the speed: 3 s, to within one
    // frame (50 ms).
    void playsByTheWallClock()
    {
        AnimationFeed feed([] { return numberedFrames(std::vector(60, 1000ms)); }, "a minute", {1, 20.0}, {});
        QSignalSpy finished(&feed, &AnimationFeed::finished);
        QElapsedTimer clock;
        clock.start();
        feed.start();
        QVERIFY(finished.wait(10'000));
        QVERIFY2(clock.elapsed() >= 3000 && clock.elapsed() < 3050, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(feed.frameShown(), 59U);
    }
};

QTEST_GUILESS_MAIN(TestAnimationFeed)
#include "tst_animation_feed.moc"

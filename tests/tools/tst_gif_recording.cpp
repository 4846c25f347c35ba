// SPDX-License-Identifier: MIT
// Recordings of a few refreshes, read back as Qt reads GIF: which refreshes
// became frames, their delays, size and pixels; and a file that cannot be
// written.
#include "gif_recording.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

class TestGifRecording : public QObject
{
    Q_OBJECT

private slots:
    void framesAndDelays_data();
    void framesAndDelays();
};

void TestGifRecording::framesAndDelays_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<QList<int>>("refreshes"); // each refresh's dark pixel
    QTest::addColumn<QList<int>>("atUs");      // when each came; the last entry ends the recording
    QTest::addColumn<QList<int>>("frames");    // each frame's dark pixel
    QTest::addColumn<QList<int>>("delaysMs");
    QTest::addColumn<QSize>("size");

    QTest::newRow("every 44.4 ms: 4.44 hundredths, rounded on the total")
        << 4 << QList<int>{0, 30, 61, 90, 121} << QList<int>{0, 44'400, 88'800, 133'200, 177'600, 222'000}
        << QList<int>{0, 30, 61, 90, 121} << QList<int>{40, 50, 40, 50, 40} << QSize(512, 152);
    QTest::newRow("the same refresh twice lengthens its frame") << 1 << QList<int>{30, 30, 61}
        << QList<int>{0, 30'000, 60'000, 100'000} << QList<int>{30, 61} << QList<int>{60, 40} << QSize(128, 38);
    QTest::newRow("a refresh shown under 5 ms is left out") << 2 << QList<int>{0, 90, 121}
        << QList<int>{0, 20'000, 23'000, 50'000} << QList<int>{0, 121} << QList<int>{20, 30} << QSize(256, 76);
}

void TestGifRecording::framesAndDelays()
{
    QFETCH(int, scale);
    QFETCH(QList<int>, refreshes);
    QFETCH(QList<int>, atUs);
    QFETCH(QList<int>, frames);
    QFETCH(QList<int>, delaysMs);
    QFETCH(QSize, size);
    // A refresh that shows one dark pixel, at (x, x / 4).
    const auto darkAt = [](int x) { board::LcdFrame frame; frame.set(x, x / 4, true); return frame; };
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("recording.gif"));
    board::GifRecording recording(path.toStdString(), scale);
    for (qsizetype index = 0; index < refreshes.size(); ++index)
        recording.add(darkAt(refreshes[index]), std::chrono::microseconds(atUs[index]));
    recording.save(std::chrono::microseconds(atUs.last()));
    QImageReader reader(path);
    QCOMPARE(reader.imageCount(), frames.size());
    QCOMPARE(reader.loopCount(), -1); // forever
    int totalMs = 0;
    for (qsizetype index = 0; index < frames.size(); ++index) {
        const QImage image = reader.read().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), size);
        QCOMPARE(image, darkAt(frames[index]).toImage(scale));
        QCOMPARE(reader.nextImageDelay(), delaysMs[index]);
        totalMs += reader.nextImageDelay();
    }
    QVERIFY(qAbs(totalMs * 1000 - atUs.last()) <= 10'000);

    const std::string missing = dir.filePath(QStringLiteral("missing/recording.gif")).toStdString();
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, board::GifRecording(missing, scale));
}

QTEST_GUILESS_MAIN(TestGifRecording)
#include "tst_gif_recording.moc"

// SPDX-License-Identifier: MIT
#include "distinct_pages.h"
#include "frame_file.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrin;

class TestFrameFile : public QObject
{
    Q_OBJECT

private slots:
    void everyFormatRoundTrips();
};

// Written together and read back, every format holds the frame (the errors
// are tried through the program, in tests/program). An image frame shows
// pixel (61, 16) alone, and only opaque pure black reads back as dark.
void TestFrameFile::everyFormatRoundTrips()
{
    const QTemporaryDir directory;
    const FrameBuffer frame = testing::distinctPages();
    QList<std::pair<QString, QByteArray>> files;
    for (const char *extension : {"bin", "txt", "h", "png", "pbm", "BMP"}) {
        const QString path = directory.filePath(QStringLiteral("frame.") + extension);
        files.append({path, encodeFrame(frame, path)});
    }
    saveFiles(files);
    for (const auto &[path, bytes] : files)
        QVERIFY2(path.endsWith(QStringLiteral(".h")) || readFrameFile(path) == frame, qPrintable(path));

    FrameBuffer single;
    single.write(6, 0, 0x01);
    QImage expected(122, 32, QImage::Format_ARGB32);
    expected.fill(Qt::white);
    expected.setPixel(61, 16, qRgb(0, 0, 0));
    QCOMPARE(QImage::fromData(encodeFrame(single, QStringLiteral("x.pbm"))).convertToFormat(QImage::Format_ARGB32), expected);
    expected.setPixel(0, 0, qRgb(1, 1, 1));
    expected.setPixel(1, 0, qRgba(0, 0, 0, 0));
    const QString drawn = directory.filePath(QStringLiteral("drawn.png"));
    QVERIFY(expected.save(drawn) && readFrameFile(drawn) == single);
}

QTEST_GUILESS_MAIN(TestFrameFile)
#include "tst_frame_file.moc"

// SPDX-License-Identifier: MIT
// Animations read from every kind of file, each frame on the display's pixels
// exactly, with its own delay, and one threshold for all frames.
#include "animation.h"
#include "frame_formats.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <zlib.h>

using namespace kestrin;
using namespace std::chrono_literals;

namespace {

using Delays = QList<int>;

// Frame k: a dark 20 x 24 block from column 10 + 30k, and the two far corners
// (tests/data/frames.gif and .webp hold the same three frames).
bool darkIn(int frame, int x, int y)
{
    return (x >= 10 + 30 * frame && x < 30 + 30 * frame && y >= 4 && y < 28) || (x == 0 && y == 0) || (x == 121 && y == 31);
}

QImage frameImage(int frame)
{
    QImage image(122, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 122; ++x)
            image.setPixel(x, y, darkIn(frame, x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
}

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    QByteArray length(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), length.data());
    const QByteArray body = QByteArray(type, 4) + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size()))), crc.data());
    return length + body + crc;
}

// The three frames as an animated PNG with delays of 1/10, 2/10 and 3/10 s:
// each frame's pixels are those of a PNG of its own.
QByteArray animatedPng()
{
    QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8);
    quint32 sequence = 0;
    const auto number = [](quint32 value) {
        QByteArray bytes(4, '\0');
        qToBigEndian<quint32>(value, bytes.data());
        return bytes;
    };
    for (int frame = 0; frame < 3; ++frame) {
        QByteArray single;
        QBuffer buffer(&single);
        buffer.open(QIODevice::WriteOnly);
        frameImage(frame).save(&buffer, "PNG");
        const qsizetype header = single.indexOf("IHDR") - 4;
        const qsizetype pixels = single.indexOf("IDAT") - 4;
        const QByteArray data = single.mid(pixels + 8, qFromBigEndian<quint32>(single.constData() + pixels));
        if (frame == 0)
            png += single.mid(header, 25) + pngChunk("acTL", number(3) + number(0));
        // (frame + 1) / 10 s, then dispose and blend 0
        QByteArray control = number(sequence++) + number(122) + number(32) + number(0) + number(0)
                             + QByteArray::fromHex("0001000a0000");
        control[21] = char(frame + 1);
        png += pngChunk("fcTL", control);
        png += frame == 0 ? pngChunk("IDAT", data) : pngChunk("fdAT", number(sequence++) + data);
    }
    return png + pngChunk("IEND", {});
}

bool save(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestAnimation : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryKind_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Delays>("delays");
        QTest::newRow("GIF") << "frames.gif" << Delays{100, 200, 300};
        QTest::newRow("WebP") << "frames.webp" << Delays{100, 200, 300};
        QTest::newRow("animated PNG") << "frames.png" << Delays{100, 200, 300};
        QTest::newRow("folder: a .txt, a .bin and an image, by number") << "folder" << Delays{250, 250, 250};
    }

    void readsEveryKind()
    {
        QFETCH(QString, file);
        QFETCH(Delays, delays);
        const QTemporaryDir directory;
        QString path = QStringLiteral(KESTRIN_TEST_DATA_DIR "/") + file;
        if (file == "frames.png") {
            path = directory.filePath(file);
            QVERIFY(save(path, animatedPng()));
        } else if (file == "folder") {
            path = directory.filePath(file);
            QVERIFY(QDir(directory.path()).mkdir(file) && frameImage(2).save(path + "/frame10.png"));
            QVERIFY(save(path + "/frame1.txt", QByteArray::fromStdString(toText(frameOf(0)))));
            QVERIFY(save(path + "/frame2.bin", QByteArray::fromStdString(toBinary(frameOf(1)))));
        }
        const Animation animation = loadAnimation(path, Preparation{}, 250ms);
        QCOMPARE(int(animation.frames.size()), 3);
        for (int frame = 0; frame < 3; ++frame) {
            QCOMPARE(int(animation.delays[frame].count()), delays[frame]);
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 122; ++x)
                    QCOMPARE(animation.frames[frame].dark(x, y), darkIn(frame, x, y));
        }
    }

    // Grey 100 beside white, then black beside grey 100: alone, each frame's
    // Otsu level would make the grey black in one and white in the other; one
    // level for both keeps it black in both.
    void oneLevelForAllFrames()
    {
        const QTemporaryDir directory;
        for (const auto &[name, left, right] : {std::tuple("1.png", 100, 255), std::tuple("2.png", 0, 100)}) {
            QImage image(122, 32, QImage::Format_Grayscale8);
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 122; ++x)
                    image.scanLine(y)[x] = uchar(x < 61 ? left : right);
            QVERIFY(image.save(directory.filePath(name)));
        }
        const Animation animation = loadAnimation(directory.path(), Preparation{});
        QVERIFY(animation.frames[0].dark(10, 10) && !animation.frames[0].dark(100, 10));
        QVERIFY(animation.frames[1].dark(10, 10) && animation.frames[1].dark(100, 10));
        QVERIFY_THROWS_EXCEPTION(RunTimeError, (void)loadAnimation(directory.filePath("none"), Preparation{}));
    }

private:
    static FrameBuffer frameOf(int frame)
    {
        FrameBuffer buffer;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 122; ++x)
                setDark(buffer, {x, y}, darkIn(frame, x, y));
        return buffer;
    }
};

QTEST_GUILESS_MAIN(TestAnimation)
#include "tst_animation.moc"

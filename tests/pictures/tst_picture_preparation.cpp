// SPDX-License-Identifier: MIT
#include "image_picture.h"
#include "picture_preparation.h"
#include "reference_pages.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

using namespace kestrin;

namespace {

bool isBlack(const QImage &image, int x, int y)
{
    return (image.pixel(x, y) & 0xFFFFFF) == 0;
}

// width x height greys, each from grey(x, y).
template <typename Grey>
QImage greys(int width, int height, Grey &&grey)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.scanLine(y)[x] = static_cast<uchar>(grey(x, y));
    return image;
}

// Random black and white, with black all round the edge.
QImage framedNoise(int width, int height)
{
    QRandomGenerator random(11);
    return greys(width, height, [&](int x, int y) {
        return x == 0 || y == 0 || x == width - 1 || y == height - 1 ? 0 : random.bounded(2) * 255;
    });
}

} // namespace

class TestPicturePreparation : public QObject
{
    Q_OBJECT

private slots:
    void halvesConvertToTheirPixelsExactly_data();
    void halvesConvertToTheirPixelsExactly();
    void picturesShowEachPixelAsTheBlockTheVoteReads();
    void scalingPlacesTheShape();
    void thresholdsAndDithering();
};

void TestPicturePreparation::halvesConvertToTheirPixelsExactly_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<Dithering>("dithering");
    QTest::addColumn<int>("target"); // -1 the whole display, else the DisplayHalf
    const QImage gradient = greys(1920, 1080, [](int x, int) { return x * 255 / 1919; });
    QTest::newRow("122 x 32 framed, pixel for pixel") << framedNoise(122, 32) << Dithering::None << -1;
    QTest::newRow("122 x 16 framed, upper half") << framedNoise(122, 16) << Dithering::None << int(DisplayHalf::Upper);
    QTest::newRow("122 x 16 framed, lower half") << framedNoise(122, 16) << Dithering::None << int(DisplayHalf::Lower);
    QTest::newRow("1920 x 1080, diffuse") << gradient << Dithering::Diffuse << -1;
    QTest::newRow("1920 x 1080, ordered") << gradient << Dithering::Ordered << -1;
}

// Every display pixel of an image's half is its decision, the edges and the
// top row of each half included; a half without an image keeps the built-in
// picture and its vote. An image of its target's size is taken pixel for pixel.
void TestPicturePreparation::halvesConvertToTheirPixelsExactly()
{
    QFETCH(QImage, image);
    QFETCH(Dithering, dithering);
    QFETCH(int, target);
    Preparation preparation;
    preparation.dithering = dithering;
    const bool display = target < 0;
    const int firstRow = target == int(DisplayHalf::Lower) ? 16 : 0;
    const QImage decisions = decideAtDisplay(image, display ? kDisplaySize : kHalfSize, preparation);
    const FrameBuffer reference = testing::referencePages();
    auto [upper, lower] = display ? prepareDisplay(image, preparation)
                                  : std::pair(HalfPicture{ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath)).image(), {}},
                                              HalfPicture{ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath)).image(), {}});
    if (!display)
        (firstRow == 0 ? upper : lower) = prepareHalf(image, preparation, DisplayHalf(target));
    const FrameBuffer frame = convertPictures(upper, lower);
    int black = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 122; ++x) {
            const int row = y - firstRow;
            if (row < 0 || row >= decisions.height()) {
                QCOMPARE(isDark(frame, {x, y}), isDark(reference, {x, y}));
                continue;
            }
            black += isBlack(decisions, x, row);
            QCOMPARE(isDark(frame, {x, y}), isBlack(decisions, x, row));
            QVERIFY(dithering != Dithering::None || isBlack(decisions, x, row) == isBlack(image, x, row));
        }
    }
    const int pixels = decisions.width() * decisions.height();
    QVERIFY2(black > pixels / 4 && black < pixels * 3 / 4, qPrintable(QString::number(black)));
}

// A display pixel shows in its half's 366 x 48 picture as the block of
// picture columns 3X - 1..3X + 1 and rows 3Y - 1..3Y + 1 (clipped at the
// picture's edge), black at palette entry 0.
void TestPicturePreparation::picturesShowEachPixelAsTheBlockTheVoteReads()
{
    DisplayBitmap bitmap;
    bitmap.set(5, 3, true);
    bitmap.set(0, 16, true);
    bitmap.set(121, 31, true);
    const QImage upper = pictureOfBitmap(bitmap, DisplayHalf::Upper);
    const QImage lower = pictureOfBitmap(bitmap, DisplayHalf::Lower);
    QVERIFY(upper.size() == kPictureSize && upper.format() == QImage::Format_Indexed8 && upper.color(0) == qRgb(0, 0, 0));
    const QRegion upperBlack(14, 8, 3, 3);
    const QRegion lowerBlack = QRegion(0, 0, 2, 2) + QRegion(362, 44, 3, 3);
    for (int y = 0; y < kPictureSize.height(); ++y) {
        for (int x = 0; x < kPictureSize.width(); ++x) {
            QVERIFY2(isBlack(upper, x, y) == upperBlack.contains(QPoint(x, y)), qPrintable(QStringLiteral("upper %1, %2").arg(x).arg(y)));
            QVERIFY2(isBlack(lower, x, y) == lowerBlack.contains(QPoint(x, y)), qPrintable(QStringLiteral("lower %1, %2").arg(x).arg(y)));
        }
    }
}

// A 100 x 100 image whose top quarter is black, on the whole display: fit
// shows it whole and centred, fill only its white middle, stretch all across.
void TestPicturePreparation::scalingPlacesTheShape()
{
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(0, 0, 100, 25, Qt::black);
    for (const auto &[scaling, black] : {std::pair(Scaling::Fit, QRect(45, 0, 32, 8)), std::pair(Scaling::Fill, QRect()),
                                         std::pair(Scaling::Stretch, QRect(0, 0, 122, 8))}) {
        Preparation preparation;
        preparation.scaling = scaling;
        const QImage decisions = decideAtDisplay(image, kDisplaySize, preparation);
        for (int y = 0; y < decisions.height(); ++y)
            for (int x = 0; x < decisions.width(); ++x)
                QVERIFY2(isBlack(decisions, x, y) == black.contains(x, y), qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
    }
}

// Otsu's level of a two-tone image (7 columns of grey 60, 33 of 190): every
// level from 60 to 189 splits it alike, and the middle of that range, 124,
// is taken. A level makes grey at or below it black; invert swaps every
// decision. Ordered dithering of an even grey repeats every 16 rows, as its
// 16 x 16 matrix does; diffusion carries its error on and does not.
void TestPicturePreparation::thresholdsAndDithering()
{
    QCOMPARE(otsuLevel(greys(40, 10, [](int x, int) { return x < 7 ? 60 : 190; })), 124);
    const QImage ramp = greys(122, 32, [](int x, int) { return x; });
    for (const bool invert : {false, true}) {
        const QImage decisions = decideAtDisplay(ramp, kDisplaySize, {.threshold = 60, .invert = invert});
        for (int x = 0; x < ramp.width(); ++x)
            QCOMPARE(isBlack(decisions, x, 31), (x <= 60) != invert);
    }
    const QImage even = greys(122, 32, [](int, int) { return 100; });
    for (const Dithering dithering : {Dithering::Ordered, Dithering::Diffuse}) {
        Preparation preparation;
        preparation.dithering = dithering;
        const QImage decisions = decideAtDisplay(even, kDisplaySize, preparation);
        bool repeats = true;
        for (int y = 0; y < 16; ++y)
            repeats = repeats && decisions.copy(0, y, 122, 1) == decisions.copy(0, y + 16, 122, 1);
        QCOMPARE(repeats, dithering == Dithering::Ordered);
    }
}

QTEST_GUILESS_MAIN(TestPicturePreparation)
#include "tst_picture_preparation.moc"

// SPDX-License-Identifier: MIT
#include "conversion.h"
#include "image_picture.h"
#include "picture_preparation.h"

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

} // namespace

class TestPicturePreparation : public QObject
{
    Q_OBJECT

private slots:
    void conversionGivesBackTheDecisions_data();
    void conversionGivesBackTheDecisions();
    void scalingPlacesTheShape();
    void otsuThresholdAndInvert();
};

void TestPicturePreparation::conversionGivesBackTheDecisions_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<Dithering>("dithering");
    QTest::addColumn<bool>("half");
    QRandomGenerator random(11);
    const QImage pattern = greys(122, 32, [&](int, int) { return random.bounded(2) * 255; });
    const QImage gradient = greys(1920, 1080, [](int x, int) { return x * 255 / 1919; });
    QTest::newRow("122 x 32, pixel for pixel") << pattern << Dithering::None << false;
    QTest::newRow("122 x 16 for a half, pixel for pixel") << pattern.copy(0, 0, 122, 16) << Dithering::None << true;
    QTest::newRow("1920 x 1080, diffuse") << gradient << Dithering::Diffuse << false;
    QTest::newRow("1920 x 1080, ordered") << gradient << Dithering::Ordered << false;
}

// The pictures are 366 x 48 with black at palette entry 0, and converting
// them gives back every display-resolution decision, apart from column 0 and
// rows 0 and 16, which conversion always leaves clear. An image of the
// target's display size is decided pixel for pixel; dithering mixes both.
void TestPicturePreparation::conversionGivesBackTheDecisions()
{
    QFETCH(QImage, image);
    QFETCH(Dithering, dithering);
    QFETCH(bool, half);
    Preparation preparation;
    preparation.dithering = dithering;
    const QImage decisions = decideAtDisplay(image, half ? kHalfSize : kDisplaySize, preparation);
    const auto [upper, lower] = half ? std::pair(prepareHalf(image, preparation), clearPicture())
                                     : prepareDisplay(image, preparation);
    for (const QImage &picture : {upper, lower})
        QVERIFY(picture.size() == kPictureSize && picture.format() == QImage::Format_Indexed8 && picture.color(0) == qRgb(0, 0, 0));
    FrameBuffer frame;
    convertAll(ImagePicture(upper), ImagePicture(lower), frame);
    int black = 0;
    for (int y = 0; y < decisions.height(); ++y) {
        for (int x = 0; x < decisions.width(); ++x) {
            black += isBlack(decisions, x, y);
            QCOMPARE(isDark(frame, {x, y}), x > 0 && y % 16 > 0 && isBlack(decisions, x, y));
            QVERIFY(dithering != Dithering::None || isBlack(decisions, x, y) == isBlack(image, x, y));
        }
    }
    const int pixels = decisions.width() * decisions.height();
    QVERIFY2(black > pixels / 4 && black < pixels * 3 / 4, qPrintable(QString::number(black)));
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

// Otsu's level of a two-tone image lies between its tones; a level makes grey
// at or below it black, and invert swaps every decision.
void TestPicturePreparation::otsuThresholdAndInvert()
{
    const int level = otsuLevel(greys(40, 10, [](int x, int) { return x < 7 ? 60 : 190; }));
    QVERIFY2(level >= 60 && level < 190, qPrintable(QString::number(level)));
    const QImage ramp = greys(122, 32, [](int x, int) { return x; });
    for (const bool invert : {false, true}) {
        const QImage decisions = decideAtDisplay(ramp, kDisplaySize, {.threshold = 60, .invert = invert});
        for (int x = 0; x < ramp.width(); ++x)
            QCOMPARE(isBlack(decisions, x, 31), (x <= 60) != invert);
    }
}

QTEST_GUILESS_MAIN(TestPicturePreparation)
#include "tst_picture_preparation.moc"

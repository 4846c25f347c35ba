// SPDX-License-Identifier: MIT
// Decoded pictures answer the point query with a pixel's colour, and the two
// the program ships with convert to the reference pages.
#include "conversion.h"
#include "image_picture.h"
#include "reference_pages.h"
#include "run_time_error.h"

#include <QImage>
#include <QTest>

#include <limits>

using namespace kestrin;

class TestImagePicture : public QObject
{
    Q_OBJECT

private slots:
    // An indexed picture answers its palette entry's colour as 0x00BBGGRR, never
    // the index; outside the picture, white.
    void pointQuery()
    {
        QImage image(366, 48, QImage::Format_Indexed8);
        image.setColorTable({qRgb(255, 255, 255), qRgb(1, 2, 3), qRgb(0, 0, 0)});
        image.fill(2);
        image.setPixel(365, 47, 1);
        image.setPixel(0, 0, 0);
        const ImagePicture picture(image);
        QCOMPARE(picture.colourAt(1.0F, 1.0F), 0U);
        QCOMPARE(picture.colourAt(365.0F, 47.0F), 0x030201U);
        QCOMPARE(picture.colourAt(0.0F, 0.0F), 0xFFFFFFU);
        for (const auto &[x, y] : {std::pair{366.0F, 47.0F}, {365.0F, 48.0F}, {-1.0F, 1.0F},
                                   {std::numeric_limits<float>::quiet_NaN(), 1.0F}})
            QCOMPARE(picture.colourAt(x, y), kOutsideColour);
    }

    // tests/data/reference_pages.hex holds one line of 61 hex bytes per page.
    void shippedPicturesConvertToTheReference()
    {
        const auto upper = ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath));
        const auto lower = ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath));
        QVERIFY_THROWS_EXCEPTION(RunTimeError, (void)ImagePicture::fromFile(QStringLiteral(":/no/such.bmp")));

        FrameBuffer buffer;
        convertAll(upper, lower, buffer);
        QCOMPARE(buffer, testing::referencePages());
        QVERIFY(buffer != FrameBuffer{});
    }
};

QTEST_GUILESS_MAIN(TestImagePicture)
#include "tst_image_picture.moc"

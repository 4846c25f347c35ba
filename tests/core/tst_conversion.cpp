// SPDX-License-Identifier: MIT
#include "conversion.h"
#include "image_picture.h"
#include "reference_pages.h"

#include <QImage>
#include <QTest>

#include <limits>

using namespace kestrin;

namespace {

constexpr int kPictureWidth = 366;
constexpr int kPictureHeight = 48;

QImage greyPicture(int level, int width = kPictureWidth, int height = kPictureHeight)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    image.fill(QColor(level, level, level));
    return image;
}

QByteArray pageBytes(const FrameBuffer &buffer, int page)
{
    QByteArray bytes;
    for (int column = 0; column < kPageColumns; ++column)
        bytes.append(static_cast<char>(buffer.read(page, column)));
    return bytes;
}

} // namespace

class TestConversion : public QObject
{
    Q_OBJECT

private slots:
    void uniformPictures_data();
    void uniformPictures();
    void fourOfNineBlackSetThePixel();
    void smallerPictureConvertsClearOutside();
    void pointQuery_data();
    void pointQuery();
    void shippedPicturesMatchReference();
};

void TestConversion::uniformPictures_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QList<int>>("firstColumn"); // by page 0..7
    QTest::addColumn<QList<int>>("otherColumns");

    const QList<int> clear(kPageCount, 0);
    QTest::newRow("all white") << 255 << clear << clear;
    QTest::newRow("dark grey 1 is not black") << 1 << clear << clear;
    QTest::newRow("all black: left column and top rows stay clear")
        << 0 << QList<int>{0x00, 0x00, 0xFE, 0xFF, 0x00, 0x00, 0xFE, 0xFF}
        << QList<int>{0xFE, 0xFF, 0xFE, 0xFF, 0xFE, 0xFF, 0xFE, 0xFF};
}

// The buffer starts full of other bytes: conversion rewrites every one.
void TestConversion::uniformPictures()
{
    QFETCH(int, level);
    QFETCH(QList<int>, firstColumn);
    QFETCH(QList<int>, otherColumns);

    FrameBuffer buffer;
    for (int page = 0; page < kPageCount; ++page)
        for (int column = 0; column < kPageColumns; ++column)
            buffer.write(page, column, 0x5A);
    convertAll(ImagePicture(greyPicture(level)), ImagePicture(greyPicture(level)), buffer);
    for (int page = 0; page < kPageCount; ++page) {
        const QByteArray expected = char(firstColumn[page]) + QByteArray(kPageColumns - 1, char(otherColumns[page]));
        QCOMPARE(pageBytes(buffer, page), expected);
    }
}

// The first n points of the 3 x 3 block around (30, 30), in reading order, are black.
void TestConversion::fourOfNineBlackSetThePixel()
{
    const auto vote = [](int blackPoints) {
        QImage image = greyPicture(255);
        for (int point = 0; point < blackPoints; ++point)
            image.setPixelColor(29 + point % 3, 29 + point / 3, Qt::black);
        return blockTest(ImagePicture(image), 30, 30);
    };
    QVERIFY(!vote(3));
    QVERIFY(vote(4));
}

// A black 99 x 21 picture: display pixels 1..32 of rows 1..6 have all nine
// points inside; at column 33 and row 7 only three are, the rest is white.
void TestConversion::smallerPictureConvertsClearOutside()
{
    FrameBuffer buffer;
    convertAll(ImagePicture(greyPicture(0, 99, 21)), ImagePicture(greyPicture(255)), buffer);
    FrameBuffer expected;
    for (int column = 1; column <= 32; ++column)
        expected.write(0, column, 0x7E);
    QVERIFY(buffer == expected);
}

void TestConversion::pointQuery_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("black");

    QTest::newRow("bottom right pixel") << 365.0F << 47.0F << true;
    QTest::newRow("palette entry 0 is white") << 0.0F << 0.0F << false;
    QTest::newRow("x = 366") << 366.0F << 47.0F << false;
    QTest::newRow("y = 48") << 365.0F << 48.0F << false;
    QTest::newRow("x = -1") << -1.0F << 1.0F << false;
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 1.0F << false;
}

// An indexed picture whose palette has white at entry 0 and black at entry 7:
// the query answers the entry's colour, never the index.
void TestConversion::pointQuery()
{
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(bool, black);

    QImage image(kPictureWidth, kPictureHeight, QImage::Format_Indexed8);
    QList<QRgb> palette(256, qRgb(255, 255, 255));
    palette[7] = qRgb(0, 0, 0);
    image.setColorTable(palette);
    image.fill(7);
    image.setPixel(0, 0, 0);
    QCOMPARE(ImagePicture(image).colourAt(x, y) == 0, black);
}

void TestConversion::shippedPicturesMatchReference()
{
    const auto upper = ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath));
    const auto lower = ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath));
    for (const ImagePicture *picture : {&upper, &lower})
        QCOMPARE(picture->image().colorTable().size(), 256); // shipped as 8-bit greys
    FrameBuffer buffer;
    convertAll(upper, lower, buffer);
    const FrameBuffer reference = test::referencePages();
    for (int page = 0; page < kPageCount; ++page)
        QCOMPARE(pageBytes(buffer, page).toHex(' '), pageBytes(reference, page).toHex(' '));
}

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"

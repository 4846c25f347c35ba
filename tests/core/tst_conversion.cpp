// SPDX-License-Identifier: MIT
// Conversion of two pictures into the eight pages, over any point query.
#include "conversion.h"

#include <QTest>

#include <functional>

using namespace kestrin;

namespace {

// A picture given by its colour at each point, outside any bounds too.
struct Picture final : PointQuery
{
    std::function<std::uint32_t(int, int)> colour;
    explicit Picture(std::function<std::uint32_t(int, int)> colourAt) : colour(std::move(colourAt)) {}
    [[nodiscard]] std::uint32_t colourAt(float x, float y) const override
    {
        return colour(static_cast<int>(x), static_cast<int>(y));
    }
};

} // namespace

class TestConversion : public QObject
{
    Q_OBJECT

private slots:
    void uniformPictures_data()
    {
        QTest::addColumn<std::uint32_t>("colour");
        QTest::addColumn<QList<int>>("firstColumn"); // by page 0..7
        QTest::addColumn<QList<int>>("otherColumns");

        const QList<int> clear(kPageCount, 0);
        QTest::newRow("all white") << std::uint32_t{0xFFFFFF} << clear << clear;
        QTest::newRow("darkest grey is not black") << std::uint32_t{0x000001} << clear << clear;
        QTest::newRow("all black: column 0 and the top row of each picture stay clear")
            << std::uint32_t{0} << QList<int>{0x00, 0x00, 0xFE, 0xFF, 0x00, 0x00, 0xFE, 0xFF}
            << QList<int>{0xFE, 0xFF, 0xFE, 0xFF, 0xFE, 0xFF, 0xFE, 0xFF};
    }

    // The buffer starts full of other bytes: conversion rewrites every one.
    void uniformPictures()
    {
        QFETCH(std::uint32_t, colour);
        QFETCH(QList<int>, firstColumn);
        QFETCH(QList<int>, otherColumns);

        FrameBuffer buffer;
        for (int page = 0; page < kPageCount; ++page) {
            for (int column = 0; column < kPageColumns; ++column)
                buffer.write(page, column, 0x5A);
        }
        const Picture picture([colour](int, int) { return colour; });
        convertAll(picture, picture, buffer);
        for (int page = 0; page < kPageCount; ++page) {
            for (int column = 0; column < kPageColumns; ++column)
                QCOMPARE(buffer.read(page, column), (column == 0 ? firstColumn : otherColumns)[page]);
        }
    }

    // The first n points of the block around (30, 30), in reading order, are black.
    void fourOfNineBlackSetThePixel()
    {
        const auto vote = [](int blackPoints) {
            const Picture picture([blackPoints](int x, int y) {
                const bool inBlock = x >= 29 && x <= 31 && y >= 29 && y <= 31;
                return inBlock && (y - 29) * 3 + (x - 29) < blackPoints ? 0U : 0xFFFFFFU;
            });
            return blockTest(picture, 30, 30);
        };
        QVERIFY(!vote(3));
        QVERIFY(vote(4));
    }
};

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"

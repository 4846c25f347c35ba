// SPDX-License-Identifier: MIT
#include "page_geometry.h"
#include "run_time_error.h"

#include <QTest>

using namespace kestrin;

class TestPageGeometry : public QObject
{
    Q_OBJECT

private slots:
    void pixelPlace_data();
    void pixelPlace();
    void wholeDisplayRoundTrip();
    void outsideTheDisplayThrows();
};

void TestPageGeometry::pixelPlace_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<PixelPlace>("place");

    QTest::newRow("top left") << 0 << 0 << PixelPlace{0, 0, 0, 0};
    QTest::newRow("bottom right, element 487") << 121 << 31 << PixelPlace{7, 60, 7, 487};
    QTest::newRow("upper right, element 61") << 61 << 0 << PixelPlace{2, 0, 0, 61};
    QTest::newRow("second band, element 122") << 0 << 8 << PixelPlace{1, 0, 0, 122};
    QTest::newRow("lower right, element 305") << 61 << 16 << PixelPlace{6, 0, 0, 305};
    QTest::newRow("lower left second band, element 366") << 0 << 24 << PixelPlace{5, 0, 0, 366};
}

void TestPageGeometry::pixelPlace()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(PixelPlace, place);

    QCOMPARE(placeOfPixel({x, y}), place);
}

// Every display pixel maps to a (page, column, bit) that maps back to it, so
// no two pixels share a bit; its element shows that page and column.
void TestPageGeometry::wholeDisplayRoundTrip()
{
    for (int y = 0; y < kDisplayHeight; ++y) {
        for (int x = 0; x < kDisplayWidth; ++x) {
            const PixelPlace place = placeOfPixel({x, y});
            QCOMPARE(pixelAt(place.page, place.column, place.bit), (DisplayPixel{x, y}));
            QCOMPARE(pageColumnOfElement(place.element), (PageColumn{place.page, place.column}));
            QCOMPARE(elementOf(place.page, place.column), place.element);
            QCOMPARE(place.element, kGridColumns * (y / 8) + x);
        }
    }
}

void TestPageGeometry::outsideTheDisplayThrows()
{
    for (const auto &[x, y] : {std::pair{122, 0}, {0, 32}, {-1, 0}, {0, -1}})
        QVERIFY_THROWS_EXCEPTION(SubscriptError, (void)placeOfPixel({x, y}));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, (void)pageColumnOfElement(488));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, (void)pageColumnOfElement(-1));
}

QTEST_GUILESS_MAIN(TestPageGeometry)
#include "tst_page_geometry.moc"

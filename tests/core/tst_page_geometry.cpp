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
    void elementShowsPage_data();
    void elementShowsPage();
    void wholeDisplayRoundTrip();
    void pageFieldsRebuildPage();
    void outsideTheDisplayIsRejected_data();
    void outsideTheDisplayIsRejected();
};

void TestPageGeometry::pixelPlace_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("bit");
    QTest::addColumn<int>("element");

    QTest::newRow("top left") << 0 << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("bottom right") << 121 << 31 << 7 << 60 << 7 << 487;
    QTest::newRow("first of lower right half") << 61 << 16 << 6 << 0 << 0 << 305;
    QTest::newRow("last column of left half") << 60 << 7 << 0 << 60 << 7 << 60;
    QTest::newRow("second band of upper picture") << 0 << 8 << 1 << 0 << 0 << 122;
    QTest::newRow("upper right second band") << 61 << 8 << 3 << 0 << 0 << 183;
    QTest::newRow("lower left second band") << 5 << 25 << 5 << 5 << 1 << 371;
}

void TestPageGeometry::pixelPlace()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(int, bit);
    QFETCH(int, element);

    const PixelPlace place = placeOfPixel({x, y});
    QCOMPARE(place, (PixelPlace{page, column, bit, element}));
}

void TestPageGeometry::elementShowsPage_data()
{
    QTest::addColumn<int>("element");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");

    QTest::newRow("element 0") << 0 << 0 << 0;
    QTest::newRow("element 61") << 61 << 2 << 0;
    QTest::newRow("element 121") << 121 << 2 << 60;
    QTest::newRow("element 122") << 122 << 1 << 0;
    QTest::newRow("element 305") << 305 << 6 << 0;
    QTest::newRow("element 366") << 366 << 5 << 0;
    QTest::newRow("element 487") << 487 << 7 << 60;
}

void TestPageGeometry::elementShowsPage()
{
    QFETCH(int, element);
    QFETCH(int, page);
    QFETCH(int, column);

    QCOMPARE(pageColumnOfElement(element), (PageColumn{page, column}));
    QCOMPARE(elementOf(page, column), element);
}

// Every display pixel maps to a distinct (page, column, bit), the element of
// its column and band, and back to itself.
void TestPageGeometry::wholeDisplayRoundTrip()
{
    std::array<std::array<int, kPageColumns>, kPageCount> seen{};
    for (int y = 0; y < kDisplayHeight; ++y) {
        for (int x = 0; x < kDisplayWidth; ++x) {
            const PixelPlace place = placeOfPixel({x, y});
            QCOMPARE(pixelAt(place.page, place.column, place.bit), (DisplayPixel{x, y}));
            QCOMPARE(pageColumnOfElement(place.element), (PageColumn{place.page, place.column}));
            QCOMPARE(place.element / kGridColumns, y / 8);
            QCOMPARE(place.element % kGridColumns, x);
            seen[place.page][place.column] |= 1 << place.bit;
        }
    }
    for (const auto &page : seen) {
        for (const int bits : page)
            QCOMPARE(bits, 0xFF);
    }
}

void TestPageGeometry::pageFieldsRebuildPage()
{
    for (int page = 0; page < kPageCount; ++page) {
        const PageFields fields = pageFields(page);
        QCOMPARE(pageNumber(fields), page);
        QCOMPARE(kGridOffsets[page], 122 * (2 * fields.picture + fields.band) + 61 * fields.half);
        QCOMPARE(kColumnOffsets[page], 61 * fields.half);
        QCOMPARE(kRowOffsets[page], 8 * fields.band);
    }
}

void TestPageGeometry::outsideTheDisplayIsRejected_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");

    QTest::newRow("x = 122") << 122 << 0;
    QTest::newRow("y = 32") << 0 << 32;
    QTest::newRow("negative x") << -1 << 0;
    QTest::newRow("negative y") << 0 << -1;
}

void TestPageGeometry::outsideTheDisplayIsRejected()
{
    QFETCH(int, x);
    QFETCH(int, y);

    QVERIFY_THROWS_EXCEPTION(SubscriptError, (void)placeOfPixel({x, y}));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, (void)pageColumnOfElement(488));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, (void)pageColumnOfElement(-1));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, (void)pixelAt(8, 0, 0));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, (void)pixelAt(0, 61, 0));
    QVERIFY_THROWS_EXCEPTION(SubscriptError, (void)pixelAt(0, 0, 8));
}

QTEST_GUILESS_MAIN(TestPageGeometry)
#include "tst_page_geometry.moc"

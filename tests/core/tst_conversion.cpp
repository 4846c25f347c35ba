// SPDX-License-Identifier: MIT
#include "conversion.h"
#include "image_picture.h"
#include "reference_pages.h"

#include <QImage>
#include <QTest>

#include <functional>

using namespace kestrin;

namespace {

constexpr int kPictureWidth = 366;
constexpr int kPictureHeight = 48;

// A picture made of a rule: black where the rule says so, inside width x height.
class RulePicture : public PointQuery
{
public:
    using Rule = std::function<bool(int x, int y)>;

    RulePicture(int width, int height, Rule isBlack)
        : m_width(width), m_height(height), m_isBlack(std::move(isBlack))
    {
    }

    std::uint32_t colourAt(float x, float y) const override
    {
        ++m_queries;
        const int column = static_cast<int>(x);
        const int row = static_cast<int>(y);
        if (column < 0 || row < 0 || column >= m_width || row >= m_height)
            return kOutsideColour;
        return m_isBlack(column, row) ? 0 : m_darkGrey;
    }

    void setNonBlackColour(std::uint32_t colour) { m_darkGrey = colour; }
    int queries() const { return m_queries; }

private:
    int m_width;
    int m_height;
    Rule m_isBlack;
    std::uint32_t m_darkGrey = 0xFFFFFF;
    mutable int m_queries = 0;
};

RulePicture allOf(bool black)
{
    return RulePicture(kPictureWidth, kPictureHeight, [black](int, int) { return black; });
}

} // namespace

class TestConversion : public QObject
{
    Q_OBJECT

private slots:
    void blackCountVotes_data();
    void blackCountVotes();
    void centresOnTheTopOrLeftEdgeReadNothing();
    void allWhite();
    void allBlack_data();
    void allBlack();
    void darkGreyIsNotBlack();
    void smallerPictureConvertsClearOutside();
    void indexedImageComparesPaletteColour();
    void imagePointQuery_data();
    void imagePointQuery();
    void shippedPicturesMatchReference();
    void convertRewritesEditedBytes();
};

void TestConversion::blackCountVotes_data()
{
    QTest::addColumn<int>("blackPoints");
    QTest::addColumn<bool>("set");

    QTest::newRow("0 black") << 0 << false;
    QTest::newRow("3 black") << 3 << false;
    QTest::newRow("4 black") << 4 << true;
    QTest::newRow("9 black") << 9 << true;
}

// The first n points of the 3 x 3 block around (30, 30), in reading order, are black.
void TestConversion::blackCountVotes()
{
    QFETCH(int, blackPoints);
    QFETCH(bool, set);

    const RulePicture picture(kPictureWidth, kPictureHeight, [=](int x, int y) {
        const int dx = x - 29;
        const int dy = y - 29;
        return dx >= 0 && dx < 3 && dy >= 0 && dy < 3 && dy * 3 + dx < blackPoints;
    });
    QCOMPARE(blockTest(picture, 30, 30), set);
}

void TestConversion::centresOnTheTopOrLeftEdgeReadNothing()
{
    const RulePicture picture = allOf(true);
    QVERIFY(!blockTest(picture, 0, 30));
    QVERIFY(!blockTest(picture, 30, 0));
    QVERIFY(!blockTest(picture, -3, -3));
    QCOMPARE(picture.queries(), 0);
    QVERIFY(blockTest(picture, 3, 3));
    QCOMPARE(picture.queries(), 9);
}

void TestConversion::allWhite()
{
    FrameBuffer buffer;
    for (int page = 0; page < kPageCount; ++page) {
        for (int column = 0; column < kPageColumns; ++column)
            buffer.write(page, column, 0x5A);
    }
    convertAll(allOf(false), allOf(false), buffer);
    QVERIFY(buffer == FrameBuffer{});
}

void TestConversion::allBlack_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("firstColumn");
    QTest::addColumn<int>("otherColumns");

    QTest::newRow("page 0") << 0 << 0x00 << 0xFE;
    QTest::newRow("page 1") << 1 << 0x00 << 0xFF;
    QTest::newRow("page 2") << 2 << 0xFE << 0xFE;
    QTest::newRow("page 3") << 3 << 0xFF << 0xFF;
    QTest::newRow("page 4") << 4 << 0x00 << 0xFE;
    QTest::newRow("page 5") << 5 << 0x00 << 0xFF;
    QTest::newRow("page 6") << 6 << 0xFE << 0xFE;
    QTest::newRow("page 7") << 7 << 0xFF << 0xFF;
}

void TestConversion::allBlack()
{
    QFETCH(int, page);
    QFETCH(int, firstColumn);
    QFETCH(int, otherColumns);

    FrameBuffer buffer;
    convertAll(allOf(true), allOf(true), buffer);
    QCOMPARE(buffer.read(page, 0), firstColumn);
    for (int column = 1; column < kPageColumns; ++column)
        QCOMPARE(buffer.read(page, column), otherColumns);
}

void TestConversion::darkGreyIsNotBlack()
{
    RulePicture picture = allOf(false);
    picture.setNonBlackColour(0x010101);
    FrameBuffer buffer;
    convertAll(picture, picture, buffer);
    QVERIFY(buffer == FrameBuffer{});
}

// A 100 x 20 black picture: only display pixels whose whole vote lies inside it are set.
void TestConversion::smallerPictureConvertsClearOutside()
{
    const RulePicture small(100, 20, [](int, int) { return true; });
    FrameBuffer buffer;
    convertAll(small, allOf(false), buffer);
    for (int page = 0; page < kPageCount; ++page) {
        for (int column = 0; column < kPageColumns; ++column) {
            const int x = 3 * (kColumnOffsets[page] + column);
            std::uint8_t expected = 0;
            for (int bit = 0; bit < 8 && page < 4; ++bit) {
                const int y = 3 * (kRowOffsets[page] + bit);
                // Inside the 100 x 20 picture the block has 9, 6 or 4 black points.
                const int wide = std::max(0, std::min(x + 1, 99) - (x - 1) + 1);
                const int tall = std::max(0, std::min(y + 1, 19) - (y - 1) + 1);
                if (x > 0 && y > 0 && wide * tall >= 4)
                    expected |= static_cast<std::uint8_t>(1 << bit);
            }
            QCOMPARE(buffer.read(page, column), expected);
        }
    }
    QCOMPARE(buffer.read(0, 33), 0x7E);  // rows 1..6 inside, row 7 (y = 21) is out
    QCOMPARE(buffer.read(0, 34), 0x00);  // x = 102 lies outside
}

// Palette entry 0 is white and entry 7 black: the query must answer the colour.
void TestConversion::indexedImageComparesPaletteColour()
{
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_Indexed8);
    QVector<QRgb> palette(256, qRgb(255, 255, 255));
    palette[7] = qRgb(0, 0, 0);
    image.setColorTable(palette);
    image.fill(0);
    for (int x = 0; x < 30; ++x)
        image.setPixel(x, 10, 7);

    const ImagePicture picture(image);
    QCOMPARE(picture.colourAt(0, 0), 0xFFFFFFu);
    QCOMPARE(picture.colourAt(5, 10), 0u);
}

void TestConversion::imagePointQuery_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("inside");

    QTest::newRow("bottom right pixel") << 365.0F << 47.0F << true;
    QTest::newRow("x = 366") << 366.0F << 47.0F << false;
    QTest::newRow("y = 48") << 365.0F << 48.0F << false;
    QTest::newRow("x = -1") << -1.0F << 0.0F << false;
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0.0F << false;
}

// An all-black picture: inside reads 0, outside must not.
void TestConversion::imagePointQuery()
{
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(bool, inside);

    QImage image(kPictureWidth, kPictureHeight, QImage::Format_Grayscale8);
    image.fill(Qt::black);
    const ImagePicture picture(image);
    QCOMPARE(picture.colourAt(x, y) == 0, inside);
}

void TestConversion::shippedPicturesMatchReference()
{
    const auto upper = ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath));
    const auto lower = ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath));
    for (const ImagePicture *picture : {&upper, &lower}) {
        QCOMPARE(picture->image().size(), QSize(kPictureWidth, kPictureHeight));
        QCOMPARE(picture->image().format(), QImage::Format_Indexed8);
        QCOMPARE(picture->image().colorTable().size(), 256);
    }

    FrameBuffer buffer;
    convertAll(upper, lower, buffer);
    const FrameBuffer reference = test::referencePages();
    for (int page = 0; page < kPageCount; ++page) {
        for (int column = 0; column < kPageColumns; ++column) {
            if (buffer.read(page, column) != reference.read(page, column)) {
                QFAIL(qPrintable(QStringLiteral("page %1 column %2: %3, reference %4")
                                     .arg(page).arg(column)
                                     .arg(buffer.read(page, column), 2, 16, QLatin1Char('0'))
                                     .arg(reference.read(page, column), 2, 16, QLatin1Char('0'))));
            }
        }
    }
}

void TestConversion::convertRewritesEditedBytes()
{
    const auto upper = ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath));
    const auto lower = ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath));
    FrameBuffer once;
    convertAll(upper, lower, once);
    FrameBuffer edited = once;
    edited.write(3, 10, static_cast<std::uint8_t>(~once.read(3, 10)));
    convertAll(upper, lower, edited);
    QVERIFY(edited == once);
}

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"

// SPDX-License-Identifier: MIT
#include "conversion.h"
#include "editor_grid.h"
#include "handler_boundary.h"
#include "image_picture.h"
#include "twips.h"

#include <pixels/acht_bits.h>

#include <QTest>
#include <QWidget>

using kestrin::FrameBuffer;
using kestrin::TwipsRect;

namespace {

// Element 0 at its design place, built and wired as the main window does it.
struct GridHost
{
    QWidget host;
    AchtBits *first = new AchtBits(&host);
    kestrin::EditorGrid grid{first};
    FrameBuffer buffer;

    explicit GridHost(float left = 0.0F)
    {
        kestrin::setTwipsGeometry(*first, {left, 2040.0F, 75.0F, 495.0F});
        QObject::connect(&grid, &kestrin::EditorGrid::PixelClicked, &grid, [this](int index, quint8 &) {
            kestrin::runHandler("cell edited", [&] { grid.cellEdited(index, buffer); });
        });
        kestrin::runHandler("load", [this] { grid.build(); });
        host.show();
    }

    [[nodiscard]] QRect place(int index) const { return grid.element(index)->geometry(); }
};

} // namespace

class TstEditorGrid : public QObject
{
    Q_OBJECT

private slots:
    void buildShowsClearElementsAndTearDownLeavesElement0();
    void refreshThenClickChangesOneBit_data();
    void refreshThenClickChangesOneBit();
    void failedBuildKeepsWhatWasCreated();
};

// Rows touch but for a 2-pixel gap between rows 1 and 2.
void TstEditorGrid::buildShowsClearElementsAndTearDownLeavesElement0()
{
    GridHost fixture;
    QCOMPARE(fixture.host.findChildren<AchtBits *>().size(), kestrin::kGridElements);
    for (int index = 0; index < kestrin::kGridElements; ++index) {
        QVERIFY(fixture.grid.element(index)->isVisible());
        QCOMPARE(fixture.grid.element(index)->PixelByte(), 0);
        if (index % kestrin::kGridColumns != 0)
            QCOMPARE(fixture.place(index).topLeft(), fixture.place(index - 1).topRight() + QPoint(1, 0));
    }
    for (const int row : {1, 2, 3})
        QCOMPARE(fixture.place(row * 122).top(), fixture.place(row * 122 - 122).bottom() + (row == 2 ? 3 : 1));
    // Twips read back only while the widget sits at the pixels they produced.
    const auto twips = [&](int index) { return kestrin::twipsGeometry(*fixture.grid.element(index)); };
    QCOMPARE(twips(121), (TwipsRect{9075.0F, 2040.0F, 75.0F, 495.0F}));
    QCOMPARE(twips(122), (TwipsRect{0.0F, 2535.0F, 75.0F, 495.0F}));
    QCOMPARE(twips(244), (TwipsRect{0.0F, 3055.0F, 75.0F, 495.0F}));
    QCOMPARE(twips(487), (TwipsRect{9075.0F, 3550.0F, 75.0F, 495.0F}));

    fixture.grid.tearDown();
    QCOMPARE(fixture.host.findChildren<AchtBits *>(), QList<AchtBits *>{fixture.first});
}

void TstEditorGrid::refreshThenClickChangesOneBit_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("bit");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::newRow("top cell of element 0") << 0 << 0 << 0 << 0;
    QTest::newRow("element 61") << 61 << 3 << 2 << 0;
    QTest::newRow("element 305") << 305 << 5 << 6 << 0;
    QTest::newRow("element 366") << 366 << 6 << 5 << 0;
    QTest::newRow("bottom cell of element 487") << 487 << 7 << 7 << 60;
}

// Cell k spans pixel rows 4k..4k+4 of its element.
void TstEditorGrid::refreshThenClickChangesOneBit()
{
    QFETCH(int, index);
    QFETCH(int, bit);
    QFETCH(int, page);
    QFETCH(int, column);
    GridHost fixture;
    kestrin::convertAll(kestrin::ImagePicture::fromFile(QString::fromLatin1(kestrin::kUpperPicturePath)),
                        kestrin::ImagePicture::fromFile(QString::fromLatin1(kestrin::kLowerPicturePath)),
                        fixture.buffer);
    const FrameBuffer converted = fixture.buffer;
    QVERIFY(converted != FrameBuffer{});
    fixture.grid.refreshFromBuffer(converted);
    for (int p = 0; p < kestrin::kPageCount; ++p) {
        for (int c = 0; c < kestrin::kPageColumns; ++c)
            QCOMPARE(fixture.grid.element(kestrin::elementOf(p, c))->PixelByte(), converted.read(p, c));
    }

    QTest::mouseClick(fixture.grid.element(index), Qt::LeftButton, {}, QPoint(2, 4 * bit + 2));
    FrameBuffer expected = converted;
    expected.write(page, column, static_cast<std::uint8_t>(converted.read(page, column) ^ (1U << bit)));
    QCOMPARE(fixture.buffer, expected);
}

// Element 0 so far right that a later element cannot be placed: the handler
// reports once, and what was created stays.
void TstEditorGrid::failedBuildKeepsWhatWasCreated()
{
    int reports = 0;
    kestrin::setErrorReporter([&reports](std::string_view, std::string_view) { ++reports; });
    const GridHost fixture(static_cast<float>(QWIDGETSIZE_MAX - 20) * kestrin::kTwipsPerPixel);
    kestrin::setErrorReporter(nullptr);
    QCOMPARE(reports, 1);
    const int created = fixture.grid.count();
    QVERIFY(created > 2 && created < kestrin::kGridColumns);
    QCOMPARE(fixture.host.findChildren<AchtBits *>().size(), created);
}

QTEST_MAIN(TstEditorGrid)
#include "tst_editor_grid.moc"

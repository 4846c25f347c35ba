// SPDX-License-Identifier: MIT
#include "run_time_error.h"
#include "twips.h"

#include <QTest>
#include <QWidget>

#include <limits>

using kestrin::TwipsRect;

class TstTwips : public QObject
{
    Q_OBJECT

private slots:
    void edgeRounding_data();
    void edgeRounding();
    void readsBackWhatWasSet();
    void unplaceableValuesAreRefused();
};

void TstTwips::edgeRounding_data()
{
    QTest::addColumn<float>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("grid top") << 2040.0F << 136;
    QTest::newRow("end of grid row 1") << 3030.0F << 202;
    QTest::newRow("start of grid row 2, after the gap") << 3055.0F << 204;
    QTest::newRow("just under half a pixel") << 7.0F << 0;
    QTest::newRow("half a pixel rounds up") << 7.5F << 1;
    QTest::newRow("negative half a pixel rounds up") << -7.5F << 0;
}

void TstTwips::edgeRounding()
{
    QFETCH(float, twips);
    QFETCH(int, pixels);
    QCOMPARE(kestrin::twipsToPixels(twips), pixels);
}

// The exact twips come back while the widget stays where they put it; a
// widget moved by other means reads as its pixels times 15.
void TstTwips::readsBackWhatWasSet()
{
    QWidget host;
    QWidget widget(&host);
    kestrin::setTwipsGeometry(widget, {7.0F, 3055.0F, 75.0F, 500.0F});
    QCOMPARE(widget.geometry(), QRect(0, 204, 5, 33));
    QCOMPARE(kestrin::twipsGeometry(widget), (TwipsRect{7.0F, 3055.0F, 75.0F, 500.0F}));

    kestrin::setTwipsLeft(widget, 9075.0F);
    QCOMPARE(widget.geometry(), QRect(605, 204, 5, 33));
    QCOMPARE(kestrin::twipsWidth(widget), 75.0F);

    widget.move(10, 20);
    QCOMPARE(kestrin::twipsGeometry(widget), (TwipsRect{150.0F, 300.0F, 75.0F, 495.0F}));
}

void TstTwips::unplaceableValuesAreRefused()
{
    QWidget widget;
    widget.setGeometry(1, 2, 3, 4);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QVERIFY_THROWS_EXCEPTION(kestrin::RunTimeError, kestrin::setTwipsWidth(widget, -15.0F));
    QVERIFY_THROWS_EXCEPTION(kestrin::RunTimeError, kestrin::setTwipsLeft(widget, nan));
    QVERIFY_THROWS_EXCEPTION(kestrin::RunTimeError, kestrin::setTwipsTop(widget, 1e30F));
    QVERIFY_THROWS_EXCEPTION(kestrin::RunTimeError, kestrin::setTwipsHeight(widget, 3e8F));
    QCOMPARE(widget.geometry(), QRect(1, 2, 3, 4));
}

QTEST_MAIN(TstTwips)
#include "tst_twips.moc"

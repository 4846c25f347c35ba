// SPDX-License-Identifier: MIT
#include "run_time_error.h"
#include "twips.h"

#include <QTest>
#include <QWidget>

#include <limits>

class TstTwips : public QObject
{
    Q_OBJECT

private slots:
    void edgeRounding_data();
    void edgeRounding();
    void unplaceableValuesAreRefused();
};

void TstTwips::edgeRounding_data()
{
    QTest::addColumn<float>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("end of grid row 1") << 3030.0F << 202;
    QTest::newRow("start of grid row 2, 25 twips later") << 3055.0F << 204;
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

void TstTwips::unplaceableValuesAreRefused()
{
    QWidget widget;
    kestrin::setTwipsGeometry(widget, {7.0F, 3055.0F, 75.0F, 500.0F});
    // Moved by other means after its twips were set: it reads as its pixels x 15.
    widget.setGeometry(1, 2, 3, 4);
    QVERIFY_THROWS_EXCEPTION(kestrin::RunTimeError, kestrin::setTwipsGeometry(widget, {0.0F, 0.0F, -15.0F, 75.0F}));
    QVERIFY_THROWS_EXCEPTION(kestrin::RunTimeError, kestrin::setTwipsLeft(widget, std::numeric_limits<float>::quiet_NaN()));
    QVERIFY_THROWS_EXCEPTION(kestrin::RunTimeError, kestrin::setTwipsTop(widget, 1e30F));
    QCOMPARE(kestrin::twipsGeometry(widget), (kestrin::TwipsRect{15.0F, 30.0F, 45.0F, 60.0F}));
}

QTEST_MAIN(TstTwips)
#include "tst_twips.moc"

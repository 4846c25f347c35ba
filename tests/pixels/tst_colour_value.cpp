// SPDX-License-Identifier: MIT
#include <pixels/colour_value.h>

#include <QGuiApplication>
#include <QTest>

#include <stdexcept>

// The clear cells' light green and system colour 6 show in tst_acht_bits; the
// light green reads the same either way round, so the channel order is here.
class tst_ColourValue : public QObject
{
    Q_OBJECT

private slots:
    void plainChannelOrderAndUnknownSystemColour();
};

void tst_ColourValue::plainChannelOrderAndUnknownSystemColour()
{
    QCOMPARE(pixels::colourFromValue(0x123456U), QColor(0x56, 0x34, 0x12));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, (void)pixels::colourFromValue(0x800000FFU));
}

QTEST_MAIN(tst_ColourValue)
#include "tst_colour_value.moc"

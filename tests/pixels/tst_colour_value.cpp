// SPDX-License-Identifier: MIT
#include <pixels/colour_value.h>

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

#include <stdexcept>

class tst_ColourValue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void decodes_data();
    void decodes();
    void unknownSystemColourThrows();
};

namespace {
// Distinct from every default palette, so a hard-coded colour cannot pass.
const QColor ThemeWindowFrame(12, 34, 210);
} // namespace

void tst_ColourValue::initTestCase()
{
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::WindowText, ThemeWindowFrame);
    QGuiApplication::setPalette(palette);
}

void tst_ColourValue::decodes_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("0 is black") << 0x000000U << QColor(0, 0, 0);
    QTest::newRow("low byte is red") << 0x0000FFU << QColor(255, 0, 0);
    QTest::newRow("middle byte is green") << 0x00FF00U << QColor(0, 255, 0);
    QTest::newRow("high byte is blue") << 0xFF0000U << QColor(0, 0, 255);
    QTest::newRow("mixed channels") << 0x123456U << QColor(0x56, 0x34, 0x12);
    QTest::newRow("the light green of a clear cell") << 0xC0FFC0U << QColor(192, 255, 192);
    QTest::newRow("system colour 6 follows the theme") << 0x80000006U << ThemeWindowFrame;
}

void tst_ColourValue::decodes()
{
    QFETCH(quint32, value);
    QFETCH(QColor, colour);
    QCOMPARE(pixels::colourFromValue(value), colour);
}

void tst_ColourValue::unknownSystemColourThrows()
{
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, (void)pixels::colourFromValue(0x800000FFU));
}

QTEST_MAIN(tst_ColourValue)
#include "tst_colour_value.moc"

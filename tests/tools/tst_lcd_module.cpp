// SPDX-License-Identifier: MIT
// The module's two controllers as the simulated board decodes them from the
// bus: command sequences and the pixels they leave on the glass.
#include "lcd_module.h"

#include <QList>
#include <QPoint>
#include <QTest>

#include <array>
#include <vector>

using board::LcdModule;

namespace {

struct BusCycle
{
    int controller;
    bool a0;
    std::uint8_t octet;
};
using Bus = std::vector<BusCycle>;

constexpr bool kCommand = false;
constexpr bool kData = true;
const Bus kBothOn{{0, kCommand, 0xAF}, {1, kCommand, 0xAF}};

Bus bothOnThen(Bus cycles)
{
    cycles.insert(cycles.begin(), kBothOn.begin(), kBothOn.end());
    return cycles;
}

QList<QPoint> darkPixels(const LcdModule &module)
{
    QList<QPoint> dark;
    const board::LcdFrame picture = module.picture();
    for (int y = 0; y < board::kLcdHeight; ++y) {
        for (int x = 0; x < board::kLcdWidth; ++x) {
            if (picture.dark(x, y))
                dark.append(QPoint(x, y));
        }
    }
    return dark;
}

} // namespace

Q_DECLARE_METATYPE(Bus)

class TestLcdModule : public QObject
{
    Q_OBJECT

private slots:
    void commandsDrawPixels_data();
    void commandsDrawPixels();
    void refreshIsEveryShownByteWritten();
};

void TestLcdModule::commandsDrawPixels_data()
{
    QTest::addColumn<Bus>("bus");
    QTest::addColumn<QList<QPoint>>("dark");
    QTest::addColumn<long>("unknown");

    QTest::newRow("left, page 1, column 5: bits 0 and 7")
        << bothOnThen({{0, kCommand, 0xB9}, {0, kCommand, 0x05}, {0, kData, 0x81}})
        << QList<QPoint>{{5, 8}, {5, 15}} << 0L;
    QTest::newRow("right, page 3: the column advances")
        << bothOnThen({{1, kCommand, 0xBB}, {1, kCommand, 0x3B}, {1, kData, 0x01}, {1, kData, 0x02}})
        << QList<QPoint>{{120, 24}, {121, 25}} << 0L;
    QTest::newRow("column 61 is off the glass, not on the right half")
        << bothOnThen({{0, kCommand, 0x3C}, {0, kData, 0x01}, {0, kData, 0x01}})
        << QList<QPoint>{{60, 0}} << 0L;
    QTest::newRow("start line 8 shows memory row 8 at the top")
        << bothOnThen({{0, kCommand, 0xC8}, {0, kCommand, 0xB9}, {0, kCommand, 0x00}, {0, kData, 0x01}})
        << QList<QPoint>{{0, 0}} << 0L;
    QTest::newRow("display off shows nothing")
        << Bus{{0, kCommand, 0xAF}, {0, kData, 0xFF}, {0, kCommand, 0xAE}} << QList<QPoint>{} << 0L;
    QTest::newRow("reset: page 0, column 0")
        << bothOnThen({{0, kCommand, 0xBA}, {0, kCommand, 0x10}, {0, kCommand, 0xE2}, {0, kData, 0x01}})
        << QList<QPoint>{{0, 0}} << 0L;
    QTest::newRow("unknown commands are counted and change nothing")
        << bothOnThen({{0, kCommand, 0x02}, {0, kCommand, 0xA5}, {0, kCommand, 0x50}, {0, kData, 0x01}})
        << QList<QPoint>{{2, 0}} << 2L;
}

void TestLcdModule::commandsDrawPixels()
{
    QFETCH(Bus, bus);
    QFETCH(QList<QPoint>, dark);
    QFETCH(long, unknown);
    LcdModule module;
    for (const BusCycle &cycle : bus)
        module.latch(cycle.controller, cycle.a0, cycle.octet);
    QCOMPARE(darkPixels(module), dark);
    QCOMPARE(module.unknownCommands(), unknown);
    QCOMPARE(module.refreshes(), 0L);
}

// A refresh counts once all 488 bytes on the glass have been written, in
// any order and however often; bytes off the glass do not count.
void TestLcdModule::refreshIsEveryShownByteWritten()
{
    LcdModule module;
    const auto writePage = [&module](int controller, int page, int columns) {
        module.latch(controller, kCommand, static_cast<std::uint8_t>(0xB8 | page));
        module.latch(controller, kCommand, 0x00);
        for (int column = 0; column < columns; ++column)
            module.latch(controller, kData, 0x00);
    };
    for (int round = 1; round <= 2; ++round) {
        for (int page = 3; page >= 0; --page) {
            writePage(1, page, 80);
            writePage(0, page, page == 0 ? 60 : 61);
        }
        QCOMPARE(module.refreshes(), round - 1L);
        writePage(0, 0, 61);
        QCOMPARE(module.refreshes(), static_cast<long>(round));
    }
}

QTEST_GUILESS_MAIN(TestLcdModule)
#include "tst_lcd_module.moc"

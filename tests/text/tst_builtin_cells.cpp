// SPDX-License-Identifier: MIT
#include "big_digits.h"
#include "builtin_cells.h"
#include "lcd_icon.h"

#include <QTest>

#include <algorithm>
#include <map>
#include <stdexcept>

using namespace kestrin;

enum class Cell { Blank, Drawn, Absent };
Q_DECLARE_METATYPE(Cell)

class TestBuiltinCells : public QObject
{
    Q_OBJECT

private slots:
    // Every character from first to last is blank, drawn or absent as the row
    // says. Column 0 is blank in every glyph, row 0 in the ASCII ones, and no
    // drawn glyph looks like one drawn before it, in any row.
    void cells_data()
    {
        QTest::addColumn<char32_t>("first");
        QTest::addColumn<char32_t>("last");
        QTest::addColumn<Cell>("cell");
        QTest::addColumn<bool>("topRowBlank");
        QTest::newRow("control before the space") << U'\u0019' << U'\u0019' << Cell::Absent << false;
        QTest::newRow("space") << U' ' << U' ' << Cell::Blank << true;
        QTest::newRow("printable ASCII") << U'!' << U'~' << Cell::Drawn << true;
        QTest::newRow("delete to the last control") << U'\u007F' << U'\u009F' << Cell::Absent << false;
        QTest::newRow("no-break space") << U'\u00A0' << U'\u00A0' << Cell::Blank << true;
        QTest::newRow("ISO-8859-1 after it") << U'¡' << U'ÿ' << Cell::Drawn << false;
        QTest::newRow("first after ISO-8859-1") << U'\u0100' << U'\u0100' << Cell::Absent << false;
        QTest::newRow("just before the full block") << U'\u2587' << U'\u2587' << Cell::Absent << false;
        for (const LcdIconName &icon : kLcdIcons)
            QTest::newRow(icon.name.data()) << icon.character << icon.character << Cell::Drawn << false;
    }

    void cells()
    {
        QFETCH(char32_t, first);
        QFETCH(char32_t, last);
        QFETCH(Cell, cell);
        QFETCH(bool, topRowBlank);
        for (char32_t character = first; character <= last; ++character) {
            const QByteArray where = "U+" + QByteArray::number(uint(character), 16);
            const CellGlyph *glyph = builtinCell(character);
            QVERIFY2((glyph == nullptr) == (cell == Cell::Absent), where);
            if (glyph == nullptr)
                continue;
            QVERIFY2((*glyph == CellGlyph{}) == (cell == Cell::Blank), where);
            QVERIFY2(std::ranges::all_of(*glyph, [](std::uint8_t row) { return row < 0b100000; }), where);
            QVERIFY2(!topRowBlank || (*glyph)[0] == 0, where);
            const auto [seen, added] = m_drawn.emplace(*glyph, character);
            QVERIFY2(added || cell == Cell::Blank, where + " looks like U+" + QByteArray::number(uint(seen->second), 16));
        }
    }

    // Ten digits 18 wide, the colon 6, each with a blank column 0, all
    // different; nothing else is a big digit.
    void bigDigits()
    {
        std::map<std::array<std::uint32_t, kBigDigitHeight>, int> seen;
        for (int digit = 0; digit <= kBigColon; ++digit) {
            const BigGlyph &glyph = bigDigit(digit);
            QCOMPARE(glyph.width, digit == kBigColon ? kBigColonWidth : kBigDigitWidth);
            QVERIFY(std::ranges::all_of(glyph.rows, [&glyph](std::uint32_t row) { return row < 1u << (glyph.width - 1); }));
            QVERIFY2(seen.emplace(glyph.rows, digit).second, qPrintable(QString::number(digit)));
        }
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, (void)bigDigit(kBigColon + 1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, (void)bigDigit(-1));
    }

private:
    std::map<CellGlyph, char32_t> m_drawn;
};

QTEST_GUILESS_MAIN(TestBuiltinCells)
#include "tst_builtin_cells.moc"

// SPDX-License-Identifier: MIT
#pragma once

#include "builtin_cells.h"
#include "display_bitmap.h"
#include "lcd_icon.h"

#include <QString>
#include <QStringList>

// The 20 x 4 cells of a frame read back as text, as LCDd's text driver
// prints them: each cell compared to every glyph of the built-in font, the
// filled block read as '#', anything else as '?'.
inline QStringList readCells(const kestrin::DisplayBitmap &frame)
{
    using namespace kestrin;
    const auto matches = [&frame](int column, int row, const CellGlyph *glyph) {
        for (int y = 0; y < kCellHeight; ++y) {
            for (int x = 0; x < kCellWidth; ++x) {
                const bool dark = x > 0 && ((*glyph)[y] >> (kCellWidth - 1 - x) & 1) != 0;
                if (frame.dark(column * kCellWidth + x, row * kCellHeight + y) != dark)
                    return false;
            }
        }
        return true;
    };
    QStringList rows;
    for (int row = 0; row < kCellRows; ++row) {
        QString text(kCellColumns, QLatin1Char('?'));
        for (int column = 0; column < kCellColumns; ++column) {
            if (matches(column, row, builtinCell(lcdIconCharacter(LcdIcon::BlockFilled)))) {
                text[column] = QLatin1Char('#');
                continue;
            }
            for (char16_t c = 0x20; c <= 0xFF; ++c) {
                if (builtinCell(c) != nullptr && matches(column, row, builtinCell(c))) {
                    text[column] = QChar(c);
                    break;
                }
            }
        }
        rows << text;
    }
    return rows;
}

// SPDX-License-Identifier: MIT
// kestrin-fontsheet OUTPUT-FOLDER: draws the built-in font's whole character
// set (printable ASCII, ISO-8859-1, the icons) and the big digits as the
// simulated board's LCD shows them, a display's worth of 20 x 4 cells at a
// time, into builtin-font.png and big-digits.png.
#include "big_digits.h"
#include "builtin_cells.h"
#include "builtin_font.h"
#include "display_bitmap.h"
#include "glyph_drawing.h"
#include "lcd_frame.h"
#include "lcd_icon.h"
#include "text_layout.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <vector>

namespace {

constexpr int kScale = 4;
constexpr int kGap = 12; // between two displays in one picture
constexpr int kCellsPerDisplay = kestrin::kCellColumns * kestrin::kCellRows;

std::u32string characterSet()
{
    std::u32string characters;
    for (char32_t c = 0x21; c <= 0x7E; ++c)
        characters += c;
    for (char32_t c = 0xA1; c <= 0xFF; ++c)
        characters += c;
    for (const kestrin::LcdIconName &icon : kestrin::kLcdIcons)
        characters += icon.character;
    return characters;
}

QImage lcdImage(const kestrin::DisplayBitmap &bitmap)
{
    board::LcdFrame frame;
    for (int y = 0; y < kestrin::DisplayBitmap::kHeight; ++y)
        for (int x = 0; x < kestrin::DisplayBitmap::kWidth; ++x)
            frame.set(x, y, bitmap.dark(x, y));
    return frame.toImage(kScale);
}

// The displays one above the other.
QImage stacked(const std::vector<kestrin::DisplayBitmap> &displays)
{
    const QImage first = lcdImage(displays.front());
    QImage sheet(first.width(), int(displays.size()) * (first.height() + kGap) - kGap, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (std::size_t index = 0; index < displays.size(); ++index)
        painter.drawImage(0, int(index) * (first.height() + kGap), lcdImage(displays[index]));
    return sheet;
}

std::vector<kestrin::DisplayBitmap> fontDisplays()
{
    const std::u32string characters = characterSet();
    const kestrin::BuiltinFont font;
    std::vector<kestrin::DisplayBitmap> displays;
    for (std::size_t start = 0; start < characters.size(); start += kCellsPerDisplay) {
        kestrin::DisplayBitmap display;
        for (int row = 0; row < kestrin::kCellRows; ++row) {
            const std::size_t from = start + std::size_t(row * kestrin::kCellColumns);
            if (from < characters.size())
                kestrin::drawText(display, 0, row * kestrin::kCellHeight,
                                  std::u32string_view(characters).substr(from, kestrin::kCellColumns), font);
        }
        displays.push_back(display);
    }
    return displays;
}

kestrin::DisplayBitmap digitsDisplay(std::initializer_list<int> digits)
{
    kestrin::DisplayBitmap display;
    int x = 0;
    for (const int digit : digits) {
        kestrin::drawBigDigit(display, x, 4, digit);
        x += kestrin::bigDigit(digit).width;
    }
    return display;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrin-fontsheet OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool saved = stacked(fontDisplays()).save(folder.filePath(QStringLiteral("builtin-font.png")))
                       && stacked({digitsDisplay({0, 1, 2, 3, 4, kestrin::kBigColon}),
                                   digitsDisplay({5, 6, 7, 8, 9, kestrin::kBigColon})})
                              .save(folder.filePath(QStringLiteral("big-digits.png")));
    if (!saved) {
        std::fprintf(stderr, "kestrin-fontsheet: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}

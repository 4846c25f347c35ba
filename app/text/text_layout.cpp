// SPDX-License-Identifier: MIT
#include "text_layout.h"

#include "glyph_drawing.h"
#include "utf8.h"

#include <algorithm>
#include <vector>

namespace kestrin {

namespace {

constexpr int kSpacesPerTab = 4;

bool isControl(char32_t character)
{
    return character < U' ' || (character >= U'\u007F' && character <= U'\u009F');
}

int tabStop(const Font &font)
{
    const std::optional<Glyph> space = font.glyph(U' ');
    const int advance = space ? space->advance : font.replacementGlyph().advance;
    return std::max(1, kSpacesPerTab * advance);
}

// Calls visit(glyph, penX) for each glyph of text from x on; returns the
// pen's end.
template <typename Visit>
int walkGlyphs(std::u32string_view text, const Font &font, int x, Visit &&visit)
{
    int pen = x;
    for (const char32_t character : text) {
        if (character == U'\t') {
            const int stop = tabStop(font);
            pen = x + ((pen - x) / stop + 1) * stop;
        } else if (!isControl(character)) {
            std::optional<Glyph> glyph = font.glyph(character);
            if (!glyph)
                glyph = font.replacementGlyph();
            visit(*glyph, pen);
            pen += glyph->advance;
        }
    }
    return pen;
}

std::vector<std::u32string_view> splitLines(std::u32string_view text)
{
    std::vector<std::u32string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find(U'\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::u32string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// Half the free space, rounded down also when the size exceeds the space
// (a right shift of a negative value rounds down).
int centred(int space, int size)
{
    return (space - size) >> 1;
}

int lineLeft(HorizontalAlignment alignment, int width)
{
    switch (alignment) {
    case HorizontalAlignment::Left:
        return 0;
    case HorizontalAlignment::Center:
        return centred(DisplayBitmap::kWidth, width);
    case HorizontalAlignment::Right:
        return DisplayBitmap::kWidth - width;
    }
    return 0;
}

int blockTop(VerticalAlignment alignment, int height)
{
    switch (alignment) {
    case VerticalAlignment::Top:
        return 0;
    case VerticalAlignment::Middle:
        return centred(DisplayBitmap::kHeight, height);
    case VerticalAlignment::Bottom:
        return DisplayBitmap::kHeight - height;
    }
    return 0;
}

} // namespace

int drawText(DisplayBitmap &bitmap, int x, int lineTop, std::u32string_view text, const Font &font)
{
    const int baseline = lineTop + font.ascent();
    return walkGlyphs(text, font, x, [&](const Glyph &glyph, int pen) { drawGlyph(bitmap, pen, baseline, glyph); });
}

int textWidth(std::u32string_view text, const Font &font)
{
    return walkGlyphs(text, font, 0, [](const Glyph &, int) {});
}

DisplayBitmap renderText(std::string_view utf8, const Font &font, const TextLayout &layout)
{
    const std::u32string text = decodeUtf8(utf8);
    const std::vector<std::u32string_view> lines = splitLines(text);
    const int blockHeight = static_cast<int>(lines.size()) * font.lineHeight();
    int lineTop = blockTop(layout.vertical, blockHeight);
    DisplayBitmap bitmap;
    for (const std::u32string_view line : lines) {
        drawText(bitmap, lineLeft(layout.horizontal, textWidth(line, font)), lineTop, line, font);
        lineTop += font.lineHeight();
    }
    if (layout.invert)
        bitmap.invert();
    return bitmap;
}

} // namespace kestrin

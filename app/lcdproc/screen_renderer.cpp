// SPDX-License-Identifier: MIT
#include "screen_renderer.h"

#include "big_digits.h"
#include "builtin_cells.h"
#include "lcd_icon.h"

#include <algorithm>

namespace kestrin {

namespace {

constexpr int kTitleMargin = 3;   // "## " before the text and " ##" after it
constexpr int kTitleRest = 15;    // ticks a long title rests at each end
constexpr int kBigDigitTop = (DisplayBitmap::kHeight - kBigDigitHeight) / 2;
constexpr int kBarFirstRow = 1;   // pixel rows of a cell an hbar fills
constexpr int kBarRows = 6;

const char32_t kBlock = lcdIconCharacter(LcdIcon::BlockFilled);

struct Cells
{
    int left = 1; // inclusive, 1-based, on the display
    int top = 1;
    int right = kCellColumns;
    int bottom = kCellRows;

    [[nodiscard]] int width() const { return right - left + 1; }
    [[nodiscard]] bool contains(int column, int row) const
    {
        return column >= left && column <= right && row >= top && row <= bottom;
    }
};

// Where a screen or a frame's content is drawn: its cell (1, 1) is display
// cell (originColumn + 1, originRow + 1), and only cells inside clip show.
struct Canvas
{
    DisplayBitmap &bitmap;
    std::int64_t timer; // ticks counted from 1 at the first frame
    int originColumn = 0;
    int originRow = 0;
    Cells clip;

    void cell(int column, int row, char32_t character) const;
    void pixel(int x, int y) const; // display pixels of the canvas's cells
};

void Canvas::cell(int column, int row, char32_t character) const
{
    const int displayColumn = column + originColumn;
    const int displayRow = row + originRow;
    if (!clip.contains(displayColumn, displayRow))
        return;
    const int x0 = (displayColumn - 1) * kCellWidth;
    const int y0 = (displayRow - 1) * kCellHeight;
    const CellGlyph *glyph = builtinCell(character);
    for (int y = 0; y < kCellHeight; ++y) {
        for (int x = 0; x < kCellWidth; ++x) {
            const bool box = (x >= 1 && (y == 1 || y == kCellHeight - 1)) || ((x == 1 || x == kCellWidth - 1) && y >= 1);
            const bool dark = glyph != nullptr ? cellPixel(*glyph, x, y) : box;
            bitmap.set(x0 + x, y0 + y, dark);
        }
    }
}

void Canvas::pixel(int x, int y) const
{
    const int column = x / kCellWidth + 1;
    const int row = y / kCellHeight + 1;
    if (x >= 0 && y >= 0 && clip.contains(column, row))
        bitmap.set(x, y, true);
}

void text(const Canvas &canvas, int column, int row, std::u32string_view characters)
{
    for (const char32_t character : characters)
        canvas.cell(column++, row, character);
}

// Steps a moving widget has taken by `timer`: one every `speed` ticks, or
// -speed a tick for speeds below -1; none at speed 0.
std::int64_t steps(std::int64_t timer, int speed)
{
    if (speed == 0)
        return 0;
    if (speed < -1)
        return timer * -speed;
    return timer / (speed < 0 ? -speed : speed);
}

// From 0 to last and back, resting one step at either end.
int bounce(std::int64_t step, int last, int speed)
{
    if (speed < -1) {
        const auto place = static_cast<int>(step % (2 * last));
        return place <= last ? place : 2 * last - place;
    }
    const auto place = static_cast<int>(step % (2 * last + 2));
    return place <= last ? place : 2 * last + 1 - place;
}

void drawString(const Canvas &canvas, const Widget &widget)
{
    if (widget.x < 1 || widget.y < 1)
        return;
    text(canvas, std::min(widget.x, canvas.clip.width()), widget.y, widget.text);
}

void drawTitle(const Canvas &canvas, const Widget &widget)
{
    const int width = canvas.clip.width();
    const int window = width - 2 * kTitleMargin;
    const auto length = static_cast<int>(widget.text.size());
    std::u32string row{kBlock, kBlock, U' '};
    if (length <= window) {
        row += widget.text + U' ';
    } else {
        const int last = length - window;
        const int half = last + kTitleRest - 1;
        const auto place = static_cast<int>(canvas.timer % (2 * half));
        const int offset = place <= half ? std::min(place, last) : std::max(last - (place - half), 0);
        row += widget.text.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(window)) + U' ';
    }
    row.resize(static_cast<std::size_t>(std::max(width, 0)), kBlock);
    text(canvas, 1, 1, row);
}

void drawHBar(const Canvas &canvas, const Widget &widget)
{
    const int x0 = (widget.x - 1 + canvas.originColumn) * kCellWidth;
    const int y0 = (widget.y - 1 + canvas.originRow) * kCellHeight + kBarFirstRow;
    for (int y = y0; y < y0 + kBarRows; ++y) {
        for (int x = x0; x < x0 + std::min(widget.length, DisplayBitmap::kWidth); ++x)
            canvas.pixel(x, y);
    }
}

void drawVBar(const Canvas &canvas, const Widget &widget)
{
    const int x0 = (widget.x - 1 + canvas.originColumn) * kCellWidth + 1;
    const int bottom = (widget.y + canvas.originRow) * kCellHeight - 1;
    for (int y = bottom; y > bottom - std::min(widget.length, DisplayBitmap::kHeight); --y) {
        for (int x = x0; x < x0 + kCellWidth - 1; ++x)
            canvas.pixel(x, y);
    }
}

// The labels in cells of their own; between them an outlined bar whose
// inside fills from the left by promille.
void drawPBar(const Canvas &canvas, const Widget &widget)
{
    text(canvas, widget.x, widget.y, widget.text);
    const auto end = static_cast<int>(widget.endLabel.size());
    text(canvas, widget.x + widget.length - end, widget.y, widget.endLabel);
    const int cells = std::min(widget.length, kCellColumns) - static_cast<int>(widget.text.size()) - end;
    if (cells < 1)
        return;
    const int x0 = (widget.x - 1 + static_cast<int>(widget.text.size()) + canvas.originColumn) * kCellWidth;
    const int y0 = (widget.y - 1 + canvas.originRow) * kCellHeight + kBarFirstRow;
    const int width = cells * kCellWidth;
    const int filled = (widget.promille * (width - 2) + 500) / 1000;
    for (int x = x0; x < x0 + width; ++x) {
        for (int y = y0; y < y0 + kBarRows; ++y) {
            const bool edge = x == x0 || x == x0 + width - 1 || y == y0 || y == y0 + kBarRows - 1;
            if (edge || x <= x0 + filled)
                canvas.pixel(x, y);
        }
    }
}

void drawScroller(const Canvas &canvas, const Widget &widget)
{
    const int width = widget.right - widget.left + 1;
    const int height = widget.bottom - widget.top + 1;
    const auto length = static_cast<int>(widget.text.size());
    if (width < 1 || height < 1)
        return;
    const std::int64_t step = steps(canvas.timer, widget.speed);
    if (widget.direction == 'v') {
        const int lines = (length + width - 1) / width;
        const int first = lines <= height ? 0 : bounce(step, lines - height, widget.speed);
        for (int line = 0; line < height && first + line < lines; ++line) {
            const auto from = static_cast<std::size_t>((first + line) * width);
            text(canvas, widget.left, widget.top + line, std::u32string_view(widget.text).substr(from, static_cast<std::size_t>(width)));
        }
        return;
    }
    if (length <= width) {
        text(canvas, widget.left, widget.top, widget.text);
    } else if (widget.direction == 'h') {
        const int offset = bounce(step, length - width, widget.speed);
        text(canvas, widget.left, widget.top, std::u32string_view(widget.text).substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(width)));
    } else {
        // The text goes round, half the width of blanks before it.
        const std::u32string loop = std::u32string(static_cast<std::size_t>(width / 2), U' ') + widget.text;
        const auto offset = static_cast<std::size_t>(step % static_cast<std::int64_t>(loop.size()));
        for (int i = 0; i < width && widget.left + i + canvas.originColumn <= canvas.clip.right; ++i)
            canvas.cell(widget.left + i, widget.top, loop[(offset + static_cast<std::size_t>(i)) % loop.size()]);
    }
}

void drawIcon(const Canvas &canvas, const Widget &widget)
{
    if (widget.icon)
        canvas.cell(widget.x, widget.y, lcdIconCharacter(*widget.icon));
}

void drawNum(const Canvas &canvas, const Widget &widget)
{
    if (widget.digit < 0 || widget.x < 1)
        return;
    const BigGlyph &glyph = bigDigit(widget.digit);
    const int x0 = (widget.x - 1 + canvas.originColumn) * kCellWidth;
    const int y0 = kBigDigitTop + canvas.originRow * kCellHeight;
    for (int y = 0; y < kBigDigitHeight; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (canvas.clip.contains((x0 + x) / kCellWidth + 1, (y0 + y) / kCellHeight + 1))
                canvas.bitmap.set(x0 + x, y0 + y, glyph.dark(x, y));
        }
    }
}

void drawWidgets(const Canvas &canvas, const Screen &screen, const std::string &frame);

// A frame's content, moved up one row every `speed` ticks and round again.
void drawFrame(const Canvas &canvas, const Screen &screen, const Widget &frame)
{
    const Cells shown{frame.left + canvas.originColumn, frame.top + canvas.originRow,
                      frame.right + canvas.originColumn, frame.bottom + canvas.originRow};
    Cells clip{std::max(shown.left, canvas.clip.left), std::max(shown.top, canvas.clip.top),
               std::min(shown.right, canvas.clip.right), std::min(shown.bottom, canvas.clip.bottom)};
    if (clip.left > clip.right || clip.top > clip.bottom)
        return;
    const bool vertical = frame.direction == 'v';
    const int hidden = vertical ? frame.innerHeight - (frame.bottom - frame.top + 1)
                                : frame.innerWidth - (frame.right - frame.left + 1);
    const int offset = hidden > 0 ? static_cast<int>(steps(canvas.timer, frame.speed) % (hidden + 1)) : 0;
    const Canvas inner{canvas.bitmap, canvas.timer, shown.left - 1 - (vertical ? 0 : offset),
                       shown.top - 1 - (vertical ? offset : 0), clip};
    drawWidgets(inner, screen, frame.id);
}

void drawWidgets(const Canvas &canvas, const Screen &screen, const std::string &frame)
{
    for (const Widget &widget : screen.widgets) {
        if (widget.frame != frame)
            continue;
        switch (widget.type) {
        case WidgetType::String:
            drawString(canvas, widget);
            break;
        case WidgetType::Title:
            drawTitle(canvas, widget);
            break;
        case WidgetType::HBar:
            drawHBar(canvas, widget);
            break;
        case WidgetType::VBar:
            drawVBar(canvas, widget);
            break;
        case WidgetType::PBar:
            drawPBar(canvas, widget);
            break;
        case WidgetType::Icon:
            drawIcon(canvas, widget);
            break;
        case WidgetType::Scroller:
            drawScroller(canvas, widget);
            break;
        case WidgetType::Frame:
            drawFrame(canvas, screen, widget);
            break;
        case WidgetType::Num:
            drawNum(canvas, widget);
            break;
        }
    }
}

bool heartOpen(std::int64_t timer)
{
    const std::int64_t beat = timer % kTicksPerSecond;
    return beat == 0 || beat == 2;
}

} // namespace

DisplayBitmap renderScreen(const Screen &screen, std::int64_t tick)
{
    DisplayBitmap bitmap;
    const Canvas canvas{bitmap, tick + 1, 0, 0, Cells{}};
    drawWidgets(canvas, screen, {});
    if (screen.heartbeat != Heartbeat::Off) {
        const LcdIcon heart = heartOpen(canvas.timer) ? LcdIcon::HeartOpen : LcdIcon::HeartFilled;
        canvas.cell(kCellColumns, 1, lcdIconCharacter(heart));
    }
    return bitmap;
}

} // namespace kestrin

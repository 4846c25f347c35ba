// SPDX-License-Identifier: MIT
#include "page_geometry.h"

#include "run_time_error.h"

#include <string>

namespace kestrin {

namespace {

void requireRange(int value, int last, const char *what)
{
    if (value < 0 || value > last)
        throw SubscriptError(std::string(what) + " " + std::to_string(value)
                             + " is outside 0.." + std::to_string(last));
}

} // namespace

PageFields pageFields(int page)
{
    requireRange(page, kPageCount - 1, "page");
    return {page / 4, (page / 2) % 2, page % 2};
}

int pageNumber(PageFields fields)
{
    requireRange(fields.picture, 1, "picture");
    requireRange(fields.half, 1, "half");
    requireRange(fields.band, 1, "band");
    return 4 * fields.picture + 2 * fields.half + fields.band;
}

PixelPlace placeOfPixel(DisplayPixel pixel)
{
    requireRange(pixel.x, kDisplayWidth - 1, "display column");
    requireRange(pixel.y, kDisplayHeight - 1, "display row");
    const int page = pageNumber({pixel.y / 16, pixel.x / kPageColumns, (pixel.y / 8) % 2});
    return {page, pixel.x % kPageColumns, pixel.y % kPageRows, kGridColumns * (pixel.y / 8) + pixel.x};
}

DisplayPixel pixelAt(int page, int column, int bit)
{
    const PageFields fields = pageFields(page);
    requireRange(column, kPageColumns - 1, "column");
    requireRange(bit, kPageRows - 1, "bit");
    return {kPageColumns * fields.half + column, 16 * fields.picture + 8 * fields.band + bit};
}

PageColumn pageColumnOfElement(int element)
{
    requireRange(element, kGridElements - 1, "grid element");
    // Scan from the last page down, as the grid's edit handler does; the eight
    // ranges cover 0..487 exactly once, so the first match is the only one.
    for (int page = kPageCount - 1; page >= 0; --page) {
        const int column = element - kGridOffsets[page];
        if (column >= 0 && column < kPageColumns)
            return {page, column};
    }
    throw SubscriptError("grid element " + std::to_string(element) + " shows no page");
}

int elementOf(int page, int column)
{
    requireRange(page, kPageCount - 1, "page");
    requireRange(column, kPageColumns - 1, "column");
    return kGridOffsets[page] + column;
}

} // namespace kestrin

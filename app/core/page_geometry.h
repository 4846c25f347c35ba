// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

// Where each of the eight display pages lives: on the 122 x 32 display, in its
// source picture and in the editor grid. All of it is constant.
namespace kestrin {

inline constexpr int kPageCount = 8;
inline constexpr int kPageColumns = 61;
inline constexpr int kPageRows = 8;
inline constexpr int kDisplayWidth = 122;
inline constexpr int kDisplayHeight = 32;
inline constexpr int kGridColumns = kDisplayWidth;
inline constexpr int kGridRows = 4;
inline constexpr int kGridElements = kGridColumns * kGridRows; // 488

// Display-pixel offsets of each page within its picture, and the grid element
// that shows column 0 of each page, indexed by page 0..7.
inline constexpr std::array<int, kPageCount> kRowOffsets{0, 8, 0, 8, 0, 8, 0, 8};
inline constexpr std::array<int, kPageCount> kColumnOffsets{0, 0, 61, 61, 0, 0, 61, 61};
inline constexpr std::array<int, kPageCount> kGridOffsets{0, 122, 61, 183, 244, 366, 305, 427};

// Page number p = 4 * picture + 2 * half + band.
struct PageFields
{
    int picture = 0; // 0: upper picture, display rows 0..15; 1: lower, rows 16..31
    int half = 0;    // 0: display columns 0..60; 1: columns 61..121
    int band = 0;    // 0: picture rows 0..7; 1: picture rows 8..15
};

// The byte, bit and grid element that hold one display pixel.
struct PixelPlace
{
    int page = 0;
    int column = 0;
    int bit = 0;
    int element = 0;

    friend bool operator==(const PixelPlace &, const PixelPlace &) = default;
};

struct DisplayPixel
{
    int x = 0;
    int y = 0;

    friend bool operator==(const DisplayPixel &, const DisplayPixel &) = default;
};

struct PageColumn
{
    int page = 0;
    int column = 0;

    friend bool operator==(const PageColumn &, const PageColumn &) = default;
};

// Each of these throws SubscriptError for arguments outside the display.
[[nodiscard]] PageFields pageFields(int page);
[[nodiscard]] int pageNumber(PageFields fields);
[[nodiscard]] PixelPlace placeOfPixel(DisplayPixel pixel);
[[nodiscard]] DisplayPixel pixelAt(int page, int column, int bit);
[[nodiscard]] PageColumn pageColumnOfElement(int element);
[[nodiscard]] int elementOf(int page, int column);

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include "display_bitmap.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <array>
#include <optional>
#include <utility>

// Turning any image into display pixels, and into the program's picture form
// that the window shows: 366 x 48 pixels, 8 bits with the 256-grey palette,
// black exactly entry 0. Every black-or-white decision is made at display
// resolution; a half converts to those decisions exactly, and its picture
// shows each display pixel as the 3 x 3 block that the built-in pictures'
// vote reads for it.
namespace kestrin {

enum class Scaling { Fit, Fill, Stretch };
enum class Dithering { None, Diffuse, Ordered };

struct Preparation
{
    Scaling scaling = Scaling::Fit;
    std::optional<int> threshold; // grey at or below it is black; none: Otsu's level
    Dithering dithering = Dithering::None;
    bool invert = false;
};

// Display resolution of one half (upper or lower picture) and of the whole display.
inline constexpr QSize kHalfSize{122, 16};
inline constexpr QSize kDisplaySize{122, 32};
inline constexpr QSize kPictureSize{366, 48};

// Decodes an image file with Qt's readers, refusing one whose declared size
// or decoded memory is beyond a sane bound. When the image will be scaled
// down to displaySize, the reader may decode it at that size already; an
// SVG is drawn at the size it is placed at, larger or smaller, so that its
// edges fall on display pixels.
// Throws RunTimeError "<path>: <reason>".
[[nodiscard]] QImage readImage(const QString &path, QSize displaySize, Scaling scaling);
// Decodes an image that must be exactly size pixels, refusing another size
// before decoding where the file declares it.
[[nodiscard]] QImage readImageOfSize(const QString &path, QSize size);

// The image at displaySize, composited over white, as grey by luminance.
// An image of exactly displaySize is taken pixel for pixel.
[[nodiscard]] QImage greyAtDisplay(const QImage &image, QSize displaySize, Scaling scaling);

// How many pixels have each grey, 0..255.
using GreyHistogram = std::array<qint64, 256>;
void addToHistogram(GreyHistogram &histogram, const QImage &grey);

// Otsu's level for a Grayscale8 image, or for the greys of several (an
// animation's frames together): grey at or below it is one class.
[[nodiscard]] int otsuLevel(const QImage &grey);
[[nodiscard]] int otsuLevel(const GreyHistogram &histogram);

// The decisions at displaySize as a Grayscale8 image, 0 black and 255 white.
[[nodiscard]] QImage decideAtDisplay(const QImage &image, QSize displaySize, const Preparation &preparation);
// The same for an image at display size already, at the given level.
[[nodiscard]] QImage decideGrey(const QImage &grey, int level, const Preparation &preparation);

enum class DisplayHalf { Upper, Lower };

// One half of the display as the window shows and converts it: its picture,
// and for the user's own images and text the display pixels it shows, at
// their place on the display, which the half converts to exactly. Without
// them (the built-in pictures) the picture is voted over.
struct HalfPicture
{
    QImage picture;
    std::optional<DisplayBitmap> exact;
};

// The half's rows of bitmap as its picture: display pixel (X, Y) becomes
// picture columns 3X - 1..3X + 1 and rows 3Y' - 1..3Y' + 1, Y' the row in
// the half.
[[nodiscard]] QImage pictureOfBitmap(const DisplayBitmap &bitmap, DisplayHalf half);
[[nodiscard]] HalfPicture halfOfBitmap(const DisplayBitmap &bitmap, DisplayHalf half);

// Decisions (0 black) placed on the display from row firstRow down.
[[nodiscard]] DisplayBitmap bitmapOfDecisions(const QImage &decisions, int firstRow = 0);

// An all-white picture, and a half that has no image: clear, exactly.
[[nodiscard]] QImage clearPicture();
[[nodiscard]] HalfPicture clearHalf();

// An image prepared for one half, and for the whole display (upper, lower).
[[nodiscard]] HalfPicture prepareHalf(const QImage &image, const Preparation &preparation, DisplayHalf half);
[[nodiscard]] std::pair<HalfPicture, HalfPicture> prepareDisplay(const QImage &image, const Preparation &preparation);

// What the two halves convert to: each picture voted over, or its exact pixels.
[[nodiscard]] FrameBuffer convertPictures(const HalfPicture &upper, const HalfPicture &lower);

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>
#include <utility>

// Turning any image into the program's picture form: 366 x 48 pixels, 8 bits
// with the 256-grey palette, black exactly entry 0. Every black-or-white
// decision is made at display resolution, and each display pixel becomes the
// 3 x 3 block that conversion votes over, so converting a prepared picture
// gives back exactly the decisions (apart from display column 0 and the top
// row of each half, which conversion always leaves clear).
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
// down to displaySize, the reader may decode it at that size already.
// Throws RunTimeError "<path>: <reason>".
[[nodiscard]] QImage readImage(const QString &path, QSize displaySize, Scaling scaling);
// Decodes an image that must be exactly size pixels, refusing another size
// before decoding where the file declares it.
[[nodiscard]] QImage readImageOfSize(const QString &path, QSize size);

// The image at displaySize, composited over white, as grey by luminance.
// An image of exactly displaySize is taken pixel for pixel.
[[nodiscard]] QImage greyAtDisplay(const QImage &image, QSize displaySize, Scaling scaling);

// Otsu's level for a Grayscale8 image: grey at or below it is one class.
[[nodiscard]] int otsuLevel(const QImage &grey);

// The decisions at displaySize as a Grayscale8 image, 0 black and 255 white.
[[nodiscard]] QImage decideAtDisplay(const QImage &image, QSize displaySize, const Preparation &preparation);

// One picture from the rows firstRow..firstRow + 15 of the decisions.
[[nodiscard]] QImage pictureOfDecisions(const QImage &decisions, int firstRow = 0);

// An all-white picture, for a half that has no image.
[[nodiscard]] QImage clearPicture();

// An image as one half's picture, and as the whole display's two pictures
// (upper, lower).
[[nodiscard]] QImage prepareHalf(const QImage &image, const Preparation &preparation);
[[nodiscard]] std::pair<QImage, QImage> prepareDisplay(const QImage &image, const Preparation &preparation);

} // namespace kestrin

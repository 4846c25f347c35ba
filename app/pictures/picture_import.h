// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"
#include "picture_preparation.h"

#include <QImage>
#include <QSize>
#include <QString>

// A picture the user opens in the window: decoded once, then prepared for
// its part of the display each time the user changes the preparation, beside
// the other half's current picture, and converted exactly as Convert will
// convert the two.
namespace kestrin {

enum class PictureTarget { Upper, Lower, Display };

// The display pixels the target covers: one half, or the whole display.
[[nodiscard]] QSize displaySizeOf(PictureTarget target);

// Decodes the image once for every scaling: at the size Fill places it at,
// the largest of the three. Throws RunTimeError "<path>: <reason>".
[[nodiscard]] QImage readImportImage(const QString &path, PictureTarget target);

struct ImportedPictures
{
    HalfPicture upper; // the two halves with the import in place
    HalfPicture lower;
    int level = 0;     // the threshold decided at: Otsu's when none was given
    FrameBuffer frame; // what Convert makes of the two pictures
};

// image prepared for target; a half keeps the other half's current picture.
[[nodiscard]] ImportedPictures importPicture(const QImage &image, PictureTarget target,
                                             const Preparation &preparation, const HalfPicture &upper,
                                             const HalfPicture &lower);

} // namespace kestrin

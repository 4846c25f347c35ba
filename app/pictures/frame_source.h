// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"
#include "picture_preparation.h"
#include "text_source.h"

#include <QImage>
#include <QString>

#include <optional>

// The one way the window, `kestrin convert` and `kestrin serve` get their
// pictures and frame: the built-in pictures, the user's images prepared for
// the halves or the whole display, text, and a frame file.
namespace kestrin {

struct FrameSourceOptions
{
    QString upper;   // an image for the upper half; empty for none
    QString lower;   // an image for the lower half
    QString display; // an image for the whole display, in place of both halves
    QString frame;   // a frame file
    TextSourceOptions text; // text on the whole display, in place of images
    Preparation preparation;

    [[nodiscard]] bool hasImages() const { return !upper.isEmpty() || !lower.isEmpty() || !display.isEmpty(); }
};

struct FrameSource
{
    HalfPicture upper;
    HalfPicture lower;
    std::optional<FrameBuffer> frame;
};

// Without images or text: the built-in pictures as they are. With only one
// half's image, the other half is clear. Text, like an image for the whole
// display, becomes both halves' pixels exactly (inverted with the
// preparation's invert). Throws RunTimeError "<path>: <reason>" for
// a file that cannot be read.
[[nodiscard]] FrameSource loadFrameSource(const FrameSourceOptions &options);

// The frame file's frame, or else what the two halves convert to.
[[nodiscard]] FrameBuffer frameOf(const FrameSource &source);

} // namespace kestrin

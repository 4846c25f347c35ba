// SPDX-License-Identifier: MIT
#include "frame_source.h"

#include "frame_file.h"
#include "image_picture.h"

namespace kestrin {

namespace {

HalfPicture halfPicture(const QString &path, const Preparation &preparation, DisplayHalf half)
{
    return path.isEmpty() ? clearHalf() : prepareHalf(readImage(path, kHalfSize, preparation.scaling), preparation, half);
}

} // namespace

FrameSource loadFrameSource(const FrameSourceOptions &options)
{
    FrameSource source;
    const Preparation &preparation = options.preparation;
    if (options.text.given()) {
        DisplayBitmap bitmap = renderTextSource(options.text);
        if (preparation.invert)
            bitmap.invert();
        source.upper = halfOfBitmap(bitmap, DisplayHalf::Upper);
        source.lower = halfOfBitmap(bitmap, DisplayHalf::Lower);
    } else if (!options.display.isEmpty()) {
        std::tie(source.upper, source.lower) =
            prepareDisplay(readImage(options.display, kDisplaySize, preparation.scaling), preparation);
    } else if (options.hasImages()) {
        source.upper = halfPicture(options.upper, preparation, DisplayHalf::Upper);
        source.lower = halfPicture(options.lower, preparation, DisplayHalf::Lower);
    } else {
        source.upper.picture = ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath)).image();
        source.lower.picture = ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath)).image();
    }
    if (!options.frame.isEmpty())
        source.frame = readFrameFile(options.frame);
    return source;
}

FrameBuffer frameOf(const FrameSource &source)
{
    return source.frame ? *source.frame : convertPictures(source.upper, source.lower);
}

} // namespace kestrin

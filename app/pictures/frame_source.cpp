// SPDX-License-Identifier: MIT
#include "frame_source.h"

#include "conversion.h"
#include "frame_file.h"
#include "image_picture.h"

namespace kestrin {

namespace {

QImage halfPicture(const QString &path, const Preparation &preparation)
{
    return path.isEmpty() ? clearPicture() : prepareHalf(readImage(path, kHalfSize, preparation.scaling), preparation);
}

} // namespace

FrameSource loadFrameSource(const FrameSourceOptions &options)
{
    FrameSource source;
    const Preparation &preparation = options.preparation;
    if (!options.display.isEmpty()) {
        std::tie(source.upper, source.lower) =
            prepareDisplay(readImage(options.display, kDisplaySize, preparation.scaling), preparation);
    } else if (options.hasImages()) {
        source.upper = halfPicture(options.upper, preparation);
        source.lower = halfPicture(options.lower, preparation);
    } else {
        source.upper = ImagePicture::fromFile(QString::fromLatin1(kUpperPicturePath)).image();
        source.lower = ImagePicture::fromFile(QString::fromLatin1(kLowerPicturePath)).image();
    }
    if (!options.frame.isEmpty())
        source.frame = readFrameFile(options.frame);
    return source;
}

FrameBuffer frameOf(const FrameSource &source)
{
    if (source.frame)
        return *source.frame;
    FrameBuffer frame;
    convertAll(ImagePicture(source.upper), ImagePicture(source.lower), frame);
    return frame;
}

} // namespace kestrin

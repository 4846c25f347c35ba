// SPDX-License-Identifier: MIT
#include "image_reading.h"

#include "quiet_decoding.h"
#include "run_time_error.h"

#include <QImageReader>

namespace kestrin {

namespace {

constexpr qint64 kPixelsPerMegapixel = 1'000'000;
constexpr qint64 kMaxImagePixels = 50 * kPixelsPerMegapixel;
constexpr int kAllocationLimitMegabytes = 512;

} // namespace

void failOn(const QString &path, const QString &reason)
{
    throw RunTimeError((path + QStringLiteral(": ") + reason).toStdString());
}

QSize boundReader(QImageReader &reader, const QString &path)
{
    reader.setAllocationLimit(kAllocationLimitMegabytes);
    const QSize declared = reader.size();
    if (declared.isValid() && qint64{declared.width()} * declared.height() > kMaxImagePixels)
        failOn(path, QStringLiteral("the image declares %1 x %2 pixels; kestrin reads images of at most %3 megapixels")
                         .arg(declared.width())
                         .arg(declared.height())
                         .arg(kMaxImagePixels / kPixelsPerMegapixel));
    return declared;
}

void checkDecoded(const QImageReader &reader, const QuietDecoding &quiet, const QString &path, bool decoded)
{
    if (!quiet.truncation().isEmpty())
        failOn(path, QStringLiteral("cannot decode the image (%1)").arg(quiet.truncation()));
    if (!decoded)
        failOn(path, reader.error() == QImageReader::UnsupportedFormatError
                         ? QStringLiteral("not an image format kestrin can read")
                         : QStringLiteral("cannot decode the image (%1)").arg(reader.errorString()));
}

} // namespace kestrin

// SPDX-License-Identifier: MIT
#include "picture_preparation.h"

#include "conversion.h"
#include "image_picture.h"
#include "image_reading.h"
#include "quiet_decoding.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>

namespace kestrin {

namespace {

constexpr int kBlack = 0;
constexpr int kWhite = 255;
constexpr int kLevels = 256;
constexpr int kFallbackLevel = 127; // a one-tone image: dark greys black, light greys white
constexpr int kQtMidLevel = 128;    // Qt's dithering makes a grey below 128 black
constexpr int kScale = 3;           // picture pixels per display pixel

// Opens path for Qt's image readers, refuses a declared size beyond the
// bound, lets configure look at the reader and the declared size, decodes.
template <typename Configure>
QImage readWith(const QString &path, Configure &&configure)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failOn(path, file.errorString());
    const QuietDecoding quiet;
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    configure(reader, boundReader(reader, path));
    QImage image = reader.read();
    checkDecoded(reader, quiet, path, !image.isNull());
    image.setDevicePixelRatio(1.0);
    return image;
}

// The size the image is scaled to before it is placed, centred, on the display.
QSize placedSize(QSize source, QSize displaySize, Scaling scaling)
{
    switch (scaling) {
    case Scaling::Stretch:
        return displaySize;
    case Scaling::Fill:
        return source.scaled(displaySize, Qt::KeepAspectRatioByExpanding).expandedTo({1, 1});
    case Scaling::Fit:
        break;
    }
    return source.scaled(displaySize, Qt::KeepAspectRatio).expandedTo({1, 1});
}

// A vector image is drawn at the size it is placed at, however large.
QSize placedVectorSize(QSizeF source, QSize displaySize, Scaling scaling)
{
    if (scaling == Scaling::Stretch)
        return displaySize;
    const auto mode = scaling == Scaling::Fill ? Qt::KeepAspectRatioByExpanding : Qt::KeepAspectRatio;
    return source.scaled(QSizeF(displaySize), mode).toSize().expandedTo({1, 1});
}

// Qt's SVG reader declares whole pixels (a 12 x 3.2 viewBox as 12 x 3) and
// draws the viewBox into the size it is asked for: the viewBox's own
// proportions place the image where some scale of them rounds to the
// declared size. Where width and height stretch the viewBox, or the file is
// compressed, the declared size stands.
QSizeF vectorSize(const QString &path, QSize declared)
{
    QFile file(path);
    QXmlStreamReader svg(&file);
    if (!file.open(QIODevice::ReadOnly) || !svg.readNextStartElement())
        return declared;
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    const QStringList box = svg.attributes().value(QLatin1String("viewBox")).toString().split(separators, Qt::SkipEmptyParts);
    const QSizeF size(box.value(2).toDouble(), box.value(3).toDouble());
    if (box.size() != 4 || size.isEmpty())
        return declared;
    const double low = std::max((declared.width() - 1) / size.width(), (declared.height() - 1) / size.height());
    const double high = std::min((declared.width() + 1) / size.width(), (declared.height() + 1) / size.height());
    return low < high ? size : QSizeF(declared);
}

QImage placedImage(const QImage &image, QSize displaySize, Scaling scaling)
{
    if (image.size() == displaySize)
        return image;
    if (scaling == Scaling::Fill) {
        // Crop to the display's shape first: a very thin image would
        // otherwise be scaled up to a huge one.
        const QSize kept = displaySize.scaled(image.size(), Qt::KeepAspectRatio).expandedTo({1, 1});
        const QPoint corner((image.width() - kept.width()) / 2, (image.height() - kept.height()) / 2);
        return image.copy(QRect(corner, kept)).scaled(displaySize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image.scaled(placedSize(image.size(), displaySize, scaling), Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
}

// Grey at or below level becomes 0..127, above it 128..255, so that Qt's
// dithering puts its middle where the chosen threshold is.
std::array<uchar, kLevels> levelMapping(int level)
{
    std::array<uchar, kLevels> mapping{};
    const int above = std::max(1, kWhite - 1 - level);
    for (int grey = 0; grey < kLevels; ++grey) {
        const int moved = grey <= level ? (level == 0 ? 0 : grey * (kQtMidLevel - 1) / level)
                                        : kQtMidLevel + (grey - level - 1) * (kWhite - kQtMidLevel) / above;
        mapping[static_cast<std::size_t>(grey)] = static_cast<uchar>(moved);
    }
    return mapping;
}

template <typename Map>
QImage mapped(const QImage &grey, Map &&map)
{
    QImage result(grey.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *in = grey.constScanLine(y);
        uchar *out = result.scanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            out[x] = map(in[x]);
    }
    return result;
}

QImage dithered(const QImage &grey, int level, Dithering dithering)
{
    const std::array<uchar, kLevels> mapping = levelMapping(level);
    const QImage moved = mapped(grey, [&mapping](uchar value) { return mapping[value]; });
    const Qt::ImageConversionFlags flags =
        (dithering == Dithering::Ordered ? Qt::OrderedDither : Qt::DiffuseDither) | Qt::MonoOnly;
    return moved.convertToFormat(QImage::Format_Mono, flags).convertToFormat(QImage::Format_Grayscale8);
}

QList<QRgb> greyPalette()
{
    QList<QRgb> palette;
    palette.reserve(kLevels);
    for (int n = 0; n < kLevels; ++n)
        palette.append(qRgb(n, n, n));
    return palette;
}

} // namespace

QImage readImage(const QString &path, QSize displaySize, Scaling scaling)
{
    return readWith(path, [&](QImageReader &reader, QSize declared) {
        if (!declared.isValid() || declared == displaySize || !reader.supportsOption(QImageIOHandler::ScaledSize))
            return;
        if (reader.format().startsWith("svg")) {
            reader.setScaledSize(placedVectorSize(vectorSize(path, declared), displaySize, scaling));
            return;
        }
        // Decoding at the size the image is placed at skips most of the work
        // for large images (a JPEG decodes at 1/8 of its size, for one).
        const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
        const QSize upright = turned ? declared.transposed() : declared;
        const QSize placed = placedSize(upright, displaySize, scaling);
        if (placed.width() < upright.width() && placed.height() < upright.height())
            reader.setScaledSize(turned ? placed.transposed() : placed);
    });
}

QImage readImageOfSize(const QString &path, QSize size)
{
    const auto refuse = [&](QSize found) {
        if (found != size)
            failOn(path, QStringLiteral("is %1 x %2 pixels, not %3 x %4")
                           .arg(found.width()).arg(found.height()).arg(size.width()).arg(size.height()));
    };
    const QImage image = readWith(path, [&](QImageReader &, QSize declared) {
        if (declared.isValid())
            refuse(declared);
    });
    refuse(image.size());
    return image;
}

QImage greyAtDisplay(const QImage &image, QSize displaySize, Scaling scaling)
{
    QImage canvas(displaySize, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QImage placed = placedImage(image, displaySize, scaling);
    placed.setDevicePixelRatio(1.0);
    QPainter painter(&canvas);
    painter.drawImage(QPoint((displaySize.width() - placed.width()) / 2, (displaySize.height() - placed.height()) / 2),
                      placed);
    painter.end();
    return canvas.convertToFormat(QImage::Format_Grayscale8);
}

// Otsu's method: the level that maximises the variance between the two
// classes. Where several levels tie (a two-tone image has a whole range of
// them) the middle of the range is taken.
void addToHistogram(GreyHistogram &histogram, const QImage &grey)
{
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            ++histogram[line[x]];
    }
}

int otsuLevel(const QImage &grey)
{
    GreyHistogram histogram{};
    addToHistogram(histogram, grey);
    return otsuLevel(histogram);
}

int otsuLevel(const GreyHistogram &histogram)
{
    qint64 total = 0;
    double totalSum = 0.0;
    for (int level = 0; level < kLevels; ++level) {
        total += histogram[static_cast<std::size_t>(level)];
        totalSum += static_cast<double>(level) * static_cast<double>(histogram[static_cast<std::size_t>(level)]);
    }
    qint64 below = 0;
    double belowSum = 0.0;
    double best = 0.0;
    int first = -1;
    int last = -1;
    for (int level = 0; level < kWhite; ++level) {
        below += histogram[static_cast<std::size_t>(level)];
        belowSum += static_cast<double>(level) * static_cast<double>(histogram[static_cast<std::size_t>(level)]);
        const qint64 above = total - below;
        if (below == 0 || above == 0)
            continue;
        const double difference = belowSum / static_cast<double>(below) - (totalSum - belowSum) / static_cast<double>(above);
        const double between = static_cast<double>(below) * static_cast<double>(above) * difference * difference;
        if (between > best) {
            best = between;
            first = level;
        }
        if (between == best)
            last = level;
    }
    return first < 0 ? kFallbackLevel : (first + last) / 2;
}

QImage decideAtDisplay(const QImage &image, QSize displaySize, const Preparation &preparation)
{
    const QImage grey = greyAtDisplay(image, displaySize, preparation.scaling);
    return decideGrey(grey, preparation.threshold.value_or(otsuLevel(grey)), preparation);
}

QImage decideGrey(const QImage &grey, int level, const Preparation &preparation)
{
    QImage decisions = preparation.dithering == Dithering::None
                           ? mapped(grey, [level](uchar value) { return uchar(value <= level ? kBlack : kWhite); })
                           : dithered(grey, level, preparation.dithering);
    if (preparation.invert)
        decisions.invertPixels();
    return decisions;
}

QImage pictureOfBitmap(const DisplayBitmap &bitmap, DisplayHalf half)
{
    const int firstRow = half == DisplayHalf::Upper ? 0 : kHalfSize.height();
    QImage picture = clearPicture();
    for (int y = 0; y < kPictureSize.height(); ++y) {
        const int row = (y + 1) / kScale;
        if (row >= kHalfSize.height())
            continue;
        uchar *line = picture.scanLine(y);
        for (int x = 0; x < kPictureSize.width(); ++x) {
            if (bitmap.dark((x + 1) / kScale, firstRow + row))
                line[x] = kBlack;
        }
    }
    return picture;
}

HalfPicture halfOfBitmap(const DisplayBitmap &bitmap, DisplayHalf half)
{
    return {pictureOfBitmap(bitmap, half), bitmap};
}

DisplayBitmap bitmapOfDecisions(const QImage &decisions, int firstRow)
{
    DisplayBitmap bitmap;
    for (int y = 0; y < decisions.height(); ++y) {
        const uchar *decided = decisions.constScanLine(y);
        for (int x = 0; x < decisions.width(); ++x)
            bitmap.set(x, firstRow + y, decided[x] == kBlack);
    }
    return bitmap;
}

QImage clearPicture()
{
    QImage picture(kPictureSize, QImage::Format_Indexed8);
    picture.setColorTable(greyPalette());
    picture.fill(kWhite);
    return picture;
}

HalfPicture clearHalf()
{
    return {clearPicture(), DisplayBitmap{}};
}

HalfPicture prepareHalf(const QImage &image, const Preparation &preparation, DisplayHalf half)
{
    const int firstRow = half == DisplayHalf::Upper ? 0 : kHalfSize.height();
    return halfOfBitmap(bitmapOfDecisions(decideAtDisplay(image, kHalfSize, preparation), firstRow), half);
}

std::pair<HalfPicture, HalfPicture> prepareDisplay(const QImage &image, const Preparation &preparation)
{
    const DisplayBitmap bitmap = bitmapOfDecisions(decideAtDisplay(image, kDisplaySize, preparation));
    return {halfOfBitmap(bitmap, DisplayHalf::Upper), halfOfBitmap(bitmap, DisplayHalf::Lower)};
}

FrameBuffer convertPictures(const HalfPicture &upper, const HalfPicture &lower)
{
    const ImagePicture upperPicture(upper.picture);
    const ImagePicture lowerPicture(lower.picture);
    FrameBuffer frame;
    convertHalves({upperPicture, upper.exact ? &*upper.exact : nullptr},
                  {lowerPicture, lower.exact ? &*lower.exact : nullptr}, frame);
    return frame;
}

} // namespace kestrin

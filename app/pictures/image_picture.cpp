// SPDX-License-Identifier: MIT
#include "image_picture.h"

#include "run_time_error.h"

#include <QFileInfo>
#include <QImageReader>

namespace kestrin {

namespace {

std::uint32_t toColourValue(QRgb rgb)
{
    return static_cast<std::uint32_t>(qRed(rgb)) | static_cast<std::uint32_t>(qGreen(rgb)) << 8
           | static_cast<std::uint32_t>(qBlue(rgb)) << 16;
}

} // namespace

ImagePicture::ImagePicture(const QImage &image)
    : m_image(image), m_width(image.width()), m_height(image.height())
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    m_colours.reserve(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height));
    for (int y = 0; y < m_height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < m_width; ++x)
            m_colours.push_back(toColourValue(line[x]));
    }
}

ImagePicture ImagePicture::fromFile(const QString &path)
{
    // In the format the extension names: asking every image plugin whether
    // it reads the file would load them all, libjpeg and the like, for the
    // program's own BMPs.
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (image.isNull())
        throw RunTimeError("cannot read picture " + path.toStdString() + ": "
                           + reader.errorString().toStdString());
    return ImagePicture(image);
}

std::uint32_t ImagePicture::colourAt(float x, float y) const
{
    // Written so that NaN also lands outside.
    if (!(x >= 0.0F && x < static_cast<float>(m_width) && y >= 0.0F
          && y < static_cast<float>(m_height)))
        return kOutsideColour;
    const auto column = static_cast<std::size_t>(x);
    const auto row = static_cast<std::size_t>(y);
    return m_colours[row * static_cast<std::size_t>(m_width) + column];
}

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include "point_query.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace kestrin {

// A decoded picture answering the point query. The colours are read once from
// the image (palette entries for indexed images, never the index itself), so a
// query is one lookup. Colours come back as 0x00BBGGRR; black is exactly 0 and
// a point outside the picture answers white.
class ImagePicture : public PointQuery
{
public:
    explicit ImagePicture(const QImage &image);

    // Reads a file in the format its extension names (the shipped pictures).
    // Throws RunTimeError naming the file when it cannot be decoded.
    [[nodiscard]] static ImagePicture fromFile(const QString &path);

    [[nodiscard]] std::uint32_t colourAt(float x, float y) const override;
    [[nodiscard]] const QImage &image() const { return m_image; }

private:
    QImage m_image;
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_colours;
};

// The two pictures the program ships with, from its resources.
inline constexpr const char *kUpperPicturePath = ":/assets/picture1.bmp";
inline constexpr const char *kLowerPicturePath = ":/assets/picture2.bmp";

} // namespace kestrin

// SPDX-License-Identifier: MIT
#pragma once

#include "image_picture.h"
#include "picture_preparation.h"
#include "point_query.h"

#include <QFrame>

#include <optional>

namespace kestrin {

// A flat box with a one-pixel border that shows its picture unscaled at the
// top left of its client area, and answers the point query in the picture's
// pixel units. The query reads the picture data, so a covered or minimised
// window converts the same. A picture prepared from the user's image or text
// also keeps the display pixels it shows, which its half converts to exactly.
class PictureBox : public QFrame, public PointQuery
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setPicture(ImagePicture picture);
    void setHalf(const HalfPicture &half);
    // The picture shown, or a null image before any.
    [[nodiscard]] QImage image() const;
    [[nodiscard]] HalfPicture half() const { return {image(), m_exact}; }
    [[nodiscard]] const DisplayBitmap *exact() const { return m_exact ? &*m_exact : nullptr; }
    [[nodiscard]] std::uint32_t colourAt(float x, float y) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<ImagePicture> m_picture;
    std::optional<DisplayBitmap> m_exact;
};

} // namespace kestrin

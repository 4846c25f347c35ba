// SPDX-License-Identifier: MIT
#pragma once

#include "image_picture.h"
#include "point_query.h"

#include <QFrame>

#include <optional>

namespace kestrin {

// A flat box with a one-pixel border that shows its picture unscaled at the
// top left of its client area, and answers the point query in the picture's
// pixel units. The query reads the picture data, so a covered or minimised
// window converts the same.
class PictureBox : public QFrame, public PointQuery
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setPicture(ImagePicture picture);
    // The picture shown, or a null image before any.
    [[nodiscard]] QImage image() const;
    [[nodiscard]] std::uint32_t colourAt(float x, float y) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<ImagePicture> m_picture;
};

} // namespace kestrin

// SPDX-License-Identifier: MIT
#include "picture_box.h"

#include <QPainter>

namespace kestrin {

PictureBox::PictureBox(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

void PictureBox::setPicture(ImagePicture picture)
{
    m_picture = std::move(picture);
    m_exact.reset();
    update();
}

void PictureBox::setHalf(const HalfPicture &half)
{
    setPicture(ImagePicture(half.picture));
    m_exact = half.exact;
}

QImage PictureBox::image() const
{
    return m_picture ? m_picture->image() : QImage();
}

std::uint32_t PictureBox::colourAt(float x, float y) const
{
    return m_picture ? m_picture->colourAt(x, y) : kOutsideColour;
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (!m_picture)
        return;
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    painter.drawImage(contentsRect().topLeft(), m_picture->image());
}

} // namespace kestrin

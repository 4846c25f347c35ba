// SPDX-License-Identifier: MIT
#include "frame_preview.h"

#include "page_geometry.h"

#include <pixels/colour_value.h>

#include <QPainter>

namespace kestrin {

namespace {

constexpr int kHalfHeight = kDisplayHeight / 2;

} // namespace

FramePreview::FramePreview(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(sizeHint());
}

void FramePreview::setFrame(const FrameBuffer &frame)
{
    m_frame = frame;
    update();
}

QSize FramePreview::sizeHint() const
{
    return {kDisplayWidth * kPixelSize, kDisplayHeight * kPixelSize + kHalfGap};
}

void FramePreview::paintEvent(QPaintEvent *)
{
    const QColor set = pixels::colourFromValue(pixels::SetCellColour);
    const QColor clear = pixels::colourFromValue(pixels::ClearCellColour);
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    for (int y = 0; y < kDisplayHeight; ++y) {
        const int top = y * kPixelSize + (y >= kHalfHeight ? kHalfGap : 0);
        for (int x = 0; x < kDisplayWidth; ++x)
            painter.fillRect(x * kPixelSize, top, kPixelSize, kPixelSize, isDark(m_frame, {x, y}) ? set : clear);
    }
}

} // namespace kestrin

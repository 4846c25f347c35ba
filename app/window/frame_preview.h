// SPDX-License-Identifier: MIT
#pragma once

#include "frame_buffer.h"

#include <QWidget>

namespace kestrin {

// A frame drawn as the grid shows it: every display pixel a square of
// kPixelSize screen pixels, in the colours of a set and a clear AchtBits cell,
// and a gap of the window's background between the upper and the lower half.
class FramePreview : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPixelSize = 4;
    static constexpr int kHalfGap = 2;

    explicit FramePreview(QWidget *parent = nullptr);

    void setFrame(const FrameBuffer &frame);
    [[nodiscard]] const FrameBuffer &frame() const { return m_frame; }
    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    FrameBuffer m_frame;
};

} // namespace kestrin

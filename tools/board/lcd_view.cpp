// SPDX-License-Identifier: MIT
#include "lcd_view.h"

#include <QPainter>

namespace board {

LcdView::LcdView(QImage picture, QWidget *parent) : QWidget(parent), m_picture(std::move(picture))
{
    setWindowTitle(QStringLiteral("kestrin-board: LCD"));
    setFixedSize(m_picture.size());
}

void LcdView::setPicture(QImage picture)
{
    m_picture = std::move(picture);
    update();
}

void LcdView::paintEvent(QPaintEvent *)
{
    QPainter(this).drawImage(0, 0, m_picture);
}

} // namespace board

// SPDX-License-Identifier: MIT
#include "acht_bits.h"

#include <pixels/colour_value.h>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <utility>

namespace {

constexpr int TwipsPerPixel = 15;

constexpr QRect fromTwips(int left, int top, int width, int height)
{
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel,
            height / TwipsPerPixel};
}

// 75 x 75 twip cells on a pitch of 60 twips: each cell's bottom pixel row is
// also the top row of the next. The lower cell owns that shared row, both for
// painting (cells are painted top to bottom) and for clicks (cellAt looks from
// the bottom up), so every cell but Label8 shows four rows and Label8 five.
constexpr QRect Label1 = fromTwips(0, 0, 75, 75);
constexpr QRect Label2 = fromTwips(0, 60, 75, 75);
constexpr QRect Label3 = fromTwips(0, 120, 75, 75);
constexpr QRect Label4 = fromTwips(0, 180, 75, 75);
constexpr QRect Label5 = fromTwips(0, 240, 75, 75);
constexpr QRect Label6 = fromTwips(0, 300, 75, 75);
constexpr QRect Label7 = fromTwips(0, 360, 75, 75);
constexpr QRect Label8 = fromTwips(0, 420, 75, 75);
constexpr std::array<QRect, 8> Cells{Label1, Label2, Label3, Label4,
                                     Label5, Label6, Label7, Label8};
constexpr QRect CellArea = fromTwips(0, 0, 75, 495);

constexpr QSize DefaultSize{90 / TwipsPerPixel, 495 / TwipsPerPixel};
constexpr quint32 BackgroundColor = 0xC0FFC0;

} // namespace

AchtBits::AchtBits(QWidget *parent)
    : QWidget(parent)
{
    // paintEvent covers every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(DefaultSize);
}

quint8 AchtBits::PixelByte() const
{
    int byte = 0;
    for (std::size_t k = 0; k < CellBits.size(); ++k)
        byte += CellBits[k] << k;
    return static_cast<quint8>(byte);
}

void AchtBits::setPixelByte(const quint8 &PixelBits)
{
    for (std::size_t k = 0; k < CellBits.size(); ++k)
        CellBits[k] = (PixelBits >> k) & 1;
    update(CellArea);
}

QSize AchtBits::sizeHint() const
{
    return DefaultSize;
}

void AchtBits::paintEvent(QPaintEvent *event)
{
    const QColor off = pixels::colourFromValue(OffColor);
    const QColor on = pixels::colourFromValue(OnColor);
    QPainter painter(this);
    painter.fillRect(event->rect(), pixels::colourFromValue(BackgroundColor));
    for (std::size_t k = 0; k < Cells.size(); ++k)
        painter.fillRect(Cells[k], CellBits[k] != 0 ? on : off);
}

// A click is a left press and release on the same cell; the bit flips on the
// release, so a press that is dragged off the cell does nothing.
void AchtBits::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressedCell = cellAt(event->position().toPoint());
}

// The second press of a quick double click arrives as a double-click event.
// It starts a click like any other press, so clicking twice quickly flips the
// bit twice.
void AchtBits::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void AchtBits::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const auto pressed = std::exchange(m_pressedCell, std::nullopt);
    if (pressed && cellAt(event->position().toPoint()) == pressed)
        flipCell(*pressed);
}

std::optional<std::size_t> AchtBits::cellAt(QPoint position) const
{
    if (!rect().contains(position))
        return std::nullopt;
    for (std::size_t k = Cells.size(); k-- > 0;) {
        if (Cells[k].contains(position))
            return k;
    }
    return std::nullopt;
}

void AchtBits::flipCell(std::size_t index)
{
    CellBits[index] = CellBits[index] == 1 ? 0 : 1;
    update(Cells[index]);
    quint8 ByteValue = PixelByte();
    emit PixelClicked(ByteValue);
}

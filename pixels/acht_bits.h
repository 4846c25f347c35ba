// SPDX-License-Identifier: MIT
#pragma once

#include <pixels/colour_value.h>
#include <pixels/pixels_export.h>

#include <QWidget>

#include <array>
#include <cstddef>
#include <optional>

class QMouseEvent;
class QPaintEvent;

// One byte shown as a column of eight square cells, bit 0 in the top cell.
// A click on a cell flips that bit and raises PixelClicked; writing PixelByte
// never does. The cells keep their place and size whatever size the widget has.
class PIXELS_EXPORT AchtBits : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(quint8 PixelByte READ PixelByte WRITE setPixelByte)

public:
    explicit AchtBits(QWidget *parent = nullptr);

    // The byte composed from the eight cells: cell k + 1 is bit k.
    [[nodiscard]] quint8 PixelByte() const;
    // Sets all eight cells from PixelBits and repaints them. Raises no signal.
    void setPixelByte(const quint8 &PixelBits);

    // 6 x 33 pixels (90 x 495 twips).
    [[nodiscard]] QSize sizeHint() const override;

signals:
    // Raised once after each click on a cell, once its bit has flipped.
    // ByteValue is a copy of the new byte: writing into it changes nothing.
    void PixelClicked(quint8 &ByteValue);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    [[nodiscard]] std::optional<std::size_t> cellAt(QPoint position) const;
    void flipCell(std::size_t index);

    // Colour values in the window system's encoding (see colour_value.h).
    static constexpr quint32 OffColor = pixels::ClearCellColour;
    static constexpr quint32 OnColor = pixels::SetCellColour;

    std::array<int, 8> CellBits{};
    std::optional<std::size_t> m_pressedCell;
};

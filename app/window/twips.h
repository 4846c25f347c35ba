// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

class QWidget;

// Widget geometry in twips (1/1440 inch), the unit the window's design and the
// grid arithmetic use. This is the only place that converts twips to the
// device-independent pixels Qt places widgets in: 15 twips per pixel, 96 dpi.
//
// Rounding: every edge's absolute position is rounded on its own to the
// nearest pixel, halves upwards. A widget's pixel width is therefore
// round(left + width) - round(left), so two widgets whose twip edges coincide
// share a pixel edge whatever fractions are involved, and a gap that is not a
// whole number of pixels never opens a gap between widgets that touch. The
// grid's 25-twip gap between rows 1 and 2 (row 1 ends at 3030 twips, 202 px;
// row 2 starts at 3055, 203.67 px) becomes 2 px.
//
// Reading back: a widget returns the exact twips last set through this layer
// as long as it still sits at the pixel rectangle they produced. A widget
// placed or moved by other means (a .ui form, a plain setGeometry) reads as
// its pixel geometry times 15.
namespace kestrin {

inline constexpr float kTwipsPerPixel = 15.0F;

struct TwipsRect
{
    float left = 0.0F;
    float top = 0.0F;
    float width = 0.0F;
    float height = 0.0F;

    friend bool operator==(const TwipsRect &, const TwipsRect &) = default;
};

// The pixel position of an edge at the given twips. Throws RunTimeError for
// a value that is not finite or lies beyond what a widget can be placed at.
[[nodiscard]] int twipsToPixels(float twips);

// The pixel rectangle a twips rectangle occupies. Throws RunTimeError for a
// negative width or height and for any edge twipsToPixels refuses.
[[nodiscard]] QRect pixelRect(const TwipsRect &twips);

[[nodiscard]] TwipsRect twipsGeometry(const QWidget &widget);
void setTwipsGeometry(QWidget &widget, const TwipsRect &twips);

// Each setter keeps the other three values: setting the left edge moves the
// widget and keeps its width.
void setTwipsLeft(QWidget &widget, float left);
void setTwipsTop(QWidget &widget, float top);

} // namespace kestrin

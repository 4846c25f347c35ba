// SPDX-License-Identifier: MIT
#include "twips.h"

#include "run_time_error.h"

#include <QRectF>
#include <QVariant>
#include <QWidget>

#include <cmath>
#include <string>

namespace kestrin {

namespace {

// The twips last set, and the pixel rectangle they produced, kept on the
// widget itself so they live and die with it.
constexpr const char *kTwipsProperty = "_kestrin_twips";
constexpr const char *kPixelsProperty = "_kestrin_twips_pixels";

constexpr double kLargestPixel = QWIDGETSIZE_MAX;

TwipsRect fromPixels(const QRect &pixels)
{
    return {static_cast<float>(pixels.x()) * kTwipsPerPixel,
            static_cast<float>(pixels.y()) * kTwipsPerPixel,
            static_cast<float>(pixels.width()) * kTwipsPerPixel,
            static_cast<float>(pixels.height()) * kTwipsPerPixel};
}

int edgeToPixels(double twips)
{
    const double pixels = std::floor(twips / kTwipsPerPixel + 0.5);
    if (!std::isfinite(pixels) || std::fabs(pixels) > kLargestPixel)
        throw RunTimeError("overflow: " + std::to_string(twips)
                           + " twips is outside the placeable range");
    return static_cast<int>(pixels);
}

void requireExtent(float twips, const char *what)
{
    if (!(twips >= 0.0F))
        throw RunTimeError(std::string("invalid ") + what + " " + std::to_string(twips)
                           + " twips: must not be negative");
}

} // namespace

int twipsToPixels(float twips)
{
    return edgeToPixels(static_cast<double>(twips));
}

QRect pixelRect(const TwipsRect &twips)
{
    requireExtent(twips.width, "width");
    requireExtent(twips.height, "height");
    const int left = edgeToPixels(twips.left);
    const int top = edgeToPixels(twips.top);
    const int right = edgeToPixels(static_cast<double>(twips.left) + twips.width);
    const int bottom = edgeToPixels(static_cast<double>(twips.top) + twips.height);
    return {left, top, right - left, bottom - top};
}

TwipsRect twipsGeometry(const QWidget &widget)
{
    const QVariant pixels = widget.property(kPixelsProperty);
    if (pixels.isValid() && pixels.toRect() == widget.geometry()) {
        const QRectF twips = widget.property(kTwipsProperty).toRectF();
        return {static_cast<float>(twips.x()), static_cast<float>(twips.y()),
                static_cast<float>(twips.width()), static_cast<float>(twips.height())};
    }
    return fromPixels(widget.geometry());
}

void setTwipsGeometry(QWidget &widget, const TwipsRect &twips)
{
    const QRect pixels = pixelRect(twips);
    widget.setGeometry(pixels);
    // A widget with size limits may not take the rectangle; it then reads as
    // the pixels it did take.
    widget.setProperty(kPixelsProperty, pixels);
    widget.setProperty(kTwipsProperty, QRectF(twips.left, twips.top, twips.width, twips.height));
}

void setTwipsLeft(QWidget &widget, float left)
{
    TwipsRect twips = twipsGeometry(widget);
    twips.left = left;
    setTwipsGeometry(widget, twips);
}

void setTwipsTop(QWidget &widget, float top)
{
    TwipsRect twips = twipsGeometry(widget);
    twips.top = top;
    setTwipsGeometry(widget, twips);
}

} // namespace kestrin

#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QSize>

// A Gaussian-like blur made of three box blurs in integer arithmetic, so the same input always
// gives the same pixels.
class ShadowBlur {
public:
    // Blurs an 8-bit alpha image in place with a Gaussian of the given sigma (pixels).
    static void blurAlpha(QImage& alpha8, double sigma);

    // The shadow of shape: shape is given in logical units and drawn at scale pixels per unit,
    // moved by offset (logical), blurred with radius (logical; sigma is half the radius), tinted
    // with color. Returns an image of size pixels, premultiplied ARGB.
    static QImage dropShadow(const QPainterPath& shape, double scale, QSize size, QPointF offset,
                             double radius, const QColor& color);
};
